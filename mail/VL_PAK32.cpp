// Program VL_PAK32: the host starts it with one argument that picks the job and its one window:
// "1" sends the waiting packages, "2" receives them for a Talvik host, "3" for an Orvena host.
// Any other argument, or none, ends the program at once without a window or a write.

#include "MailInOX.h"
#include "MailInTZ.h"
#include "MailOut.h"

#include <vcl/Application.h>

#include <string_view>

using namespace VL_PAK32;
using vcl::Application;

namespace {

enum class Zadanie { Brak, Wysylka, OdbiorTalvik, OdbiorOrvena };

// The first argument as a whole, letter case counting.
Zadanie WybierzZadanie(int argc, char** argv) {
    if (argc < 2)
        return Zadanie::Brak;
    const std::string_view arg(argv[1]);
    if (arg == "1")
        return Zadanie::Wysylka;
    if (arg == "2")
        return Zadanie::OdbiorTalvik;
    if (arg == "3")
        return Zadanie::OdbiorOrvena;
    return Zadanie::Brak;
}

} // namespace

int main(int argc, char** argv) {
    const Zadanie zadanie = WybierzZadanie(argc, argv);
    // Without a job the program ends before the window system is even opened, so a host
    // without a display gets the same silent end.
    if (zadanie == Zadanie::Brak)
        return 0;

    Application->Initialize(argc, argv);
    switch (zadanie) {
    case Zadanie::Wysylka:
        Application->SetTitle("VL_PAK32");
        Application->CreateForm(Form1);
        break;
    case Zadanie::OdbiorTalvik:
        Application->CreateForm(Form2);
        break;
    case Zadanie::OdbiorOrvena:
        Application->CreateForm(Form3);
        break;
    default:
        return 0;
    }
    Application->Run();
    return 0;
}
