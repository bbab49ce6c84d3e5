// Program VL_PIC32: the wallpaper changer. No parameters; the browsing window is the main
// window, the preview window is made hidden right after it.

#include "vl_pic32Main.h"
#include "vl_pic32View.h"

#include <vcl/Application.h>

using namespace vl_pic32;
using vcl::Application;

int main(int argc, char** argv) {
    Application->Initialize(argc, argv);
    Application->SetTitle("vl_pic32");
    Application->CreateForm(ImageForm);
    Application->CreateForm(ViewForm);
    Application->Run();
    return 0;
}
