// Must not compile: "日" has no Windows-1250 byte, so the literal is rejected at compile time.
#include <runtime/Cp1250.h>

using rtl::operator""_w;

int main() {
    return static_cast<int>("Błąd 日"_w.size());
}
