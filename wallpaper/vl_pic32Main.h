#pragma once

// The browsing window: folder, drive, file and filter lists, the thumbnail, the menus and the
// keyboard commands; it sets the chosen picture as the wallpaper.

#include <vcl/Action.h>
#include <vcl/ActionList.h>
#include <vcl/Bevel.h>
#include <vcl/DirectoryListBox.h>
#include <vcl/DriveComboBox.h>
#include <vcl/FileListBox.h>
#include <vcl/FilterComboBox.h>
#include <vcl/Form.h>
#include <vcl/Image.h>
#include <vcl/ImageList.h>
#include <vcl/MainMenu.h>
#include <vcl/MenuItem.h>
#include <vcl/Panel.h>
#include <vcl/PopupMenu.h>

#include <string>

namespace vl_pic32 {

class TImageForm : public vcl::TForm {
  public:
    explicit TImageForm(vcl::TComponent* owner);

    vcl::TDirectoryListBox* DirectoryListBox1;
    vcl::TDriveComboBox* DriveComboBox1;
    vcl::TFileListBox* FileListBox1;
    vcl::TFilterComboBox* FilterComboBox1;
    vcl::TPanel* Panel1;
    vcl::TImage* Image1;
    vcl::TImage* EmptyImage;
    vcl::TBevel* Bevel1;
    vcl::TBevel* Bevel2;
    vcl::TActionList* ActionList1;
    vcl::TAction* ActionImageView;
    vcl::TAction* ActionImageSet;
    vcl::TAction* ActionExit;
    vcl::TMainMenu* MainMenu1;
    vcl::TMenuItem* Plik1;
    vcl::TMenuItem* Podglad1;
    vcl::TMenuItem* Ustaw1;
    vcl::TMenuItem* Koniec1;
    vcl::TPopupMenu* PopupMenu1;
    vcl::TMenuItem* Podglad2;
    vcl::TMenuItem* Ustaw2;
    vcl::TImageList* ImageList1;
    vcl::TMenuItem* N1;

    void FormCreate(vcl::TObject* Sender);
    void FileListBox1Change(vcl::TObject* Sender);
    void MenuDisable();
    void MenuEnable();
    void ViewWallPaper();
    void SetWallpaper();
    void MyKeyDown(vcl::TObject* Sender, vcl::WORD& Key, vcl::TShiftState Shift);
    void ActionImageViewExecute(vcl::TObject* Sender);
    void ActionImageSetExecute(vcl::TObject* Sender);
    void ActionExitExecute(vcl::TObject* Sender);

  private:
    void showInPreview();

    std::string CaptionPrefix;
};

extern TImageForm* ImageForm;

} // namespace vl_pic32
