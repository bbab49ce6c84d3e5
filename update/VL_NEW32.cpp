// Program VL_NEW32: the update detector. It opens its one window at once, showing the installed
// product's version, and goes to the network only when the user asks for the check.

#include "vl_new32Main.h"

#include <vcl/Application.h>

using vcl::Application;

int main(int argc, char** argv) {
    Application->Initialize(argc, argv);
    Application->SetTitle("VL_NEW32");
    Application->CreateForm(VL_NEW32::Form1);
    Application->Run();
    return 0;
}
