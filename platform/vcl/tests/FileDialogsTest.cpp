// The open, save and picture dialogs on real folders, driven from inside their modal loop by
// keys and clicks as a user gives them.

#include <vcl/Application.h>
#include <vcl/Button.h>
#include <vcl/CheckBox.h>
#include <vcl/DirectoryListBox.h>
#include <vcl/Edit.h>
#include <vcl/FileDialogForm.h>
#include <vcl/FileListBox.h>
#include <vcl/FilterComboBox.h>
#include <vcl/Image.h>
#include <vcl/Label.h>
#include <vcl/OpenDialog.h>
#include <vcl/OpenPictureDialog.h>
#include <vcl/Panel.h>
#include <vcl/PicturePreviewPanel.h>
#include <vcl/SaveDialog.h>
#include <vcl/testing/MessageBoxResponder.h>
#include <vcl/testing/ModalWindowResponder.h>
#include <vcl/testing/UserInput.h>

#include <windows/Windows.h>

#include <QImage>
#include <QListWidget>
#include <QWidget>

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <unistd.h>

using namespace vcl;
using namespace vcl::testing;
namespace fs = std::filesystem;

namespace {

TEST(FileDialogFullPath, TypedNamesAgainstTheOpenFolder) {
    const struct {
        const char *typed, *folder, *full;
    } cases[] = {
        {"plik.txt", "C:\\Dane", "C:\\Dane\\plik.txt"},
        {"plik.txt", "C:\\", "C:\\plik.txt"},
        {"Pod\\plik.txt", "C:\\Dane", "C:\\Dane\\Pod\\plik.txt"},
        {"Pod/plik.txt", "C:\\Dane", "C:\\Dane\\Pod\\plik.txt"},
        {"..\\plik.txt", "C:\\Dane\\Pod", "C:\\Dane\\plik.txt"},
        {"..\\..\\..\\plik.txt", "C:\\Dane", "C:\\plik.txt"}, // never above the root
        {".\\a\\.\\b", "C:\\Dane", "C:\\Dane\\a\\b"},
        {"\\plik.txt", "C:\\Dane\\Pod", "C:\\plik.txt"},
        {"/plik.txt", "D:\\Dane", "D:\\plik.txt"},
        {"D:\\Inne\\plik.txt", "C:\\Dane", "D:\\Inne\\plik.txt"},
        {"d:\\Inne\\\\plik.txt", "C:\\Dane", "D:\\Inne\\plik.txt"},
        {"D:plik.txt", "C:\\Dane", "D:\\plik.txt"},       // another drive: its root
        {"c:plik.txt", "C:\\Dane", "C:\\Dane\\plik.txt"}, // the folder's own drive: the folder
        {"D:", "C:\\Dane", "D:\\"},
        {"\\\\serwer\\udzial\\plik.txt", "C:\\Dane", "\\\\serwer\\udzial\\plik.txt"},
        {"\\plik.txt", "\\\\serwer\\udzial\\x", "\\\\serwer\\udzial\\plik.txt"},
        {"Pod\\", "C:\\Dane", "C:\\Dane\\Pod"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FileDialogFullPath(c.typed, c.folder), c.full) << c.typed << " in " << c.folder;
}

TEST(ImageDestRect, ProportionsKeptAndCentred) {
    const struct {
        int pictureW, pictureH;
        bool stretch, proportional, center;
        TRect dest;
    } cases[] = {
        {40, 20, false, false, false, {0, 0, 40, 20}},   // natural size from the corner
        {40, 20, false, false, true, {30, 40, 70, 60}},  // natural size, centred
        {40, 20, true, false, false, {0, 0, 100, 100}},  // stretched to fill exactly
        {40, 20, true, true, true, {0, 25, 100, 75}},    // wide: fits the width
        {20, 40, true, true, true, {25, 0, 75, 100}},    // tall: fits the height
        {20, 40, true, true, false, {0, 0, 50, 100}},    // fitted, from the corner
        {40, 20, false, true, true, {30, 40, 70, 60}},   // smaller, not stretched: as it is
        {400, 100, false, true, true, {0, 37, 100, 62}}, // larger: scaled down to fit
        {1000, 1, true, true, true, {0, 49, 100, 50}},   // never thinner than a pixel
    };
    auto* form = Application->CreateForm<TForm>();
    auto* image = new TImage(form);
    image->SetBounds(0, 0, 100, 100);
    for (const auto& c : cases) {
        QImage pixels(c.pictureW, c.pictureH, QImage::Format_RGB32);
        pixels.fill(Qt::red);
        const std::string path = (fs::temp_directory_path() / "vcl-destrect.bmp").string();
        ASSERT_TRUE(pixels.save(QString::fromStdString(path), "BMP"));
        image->Picture().LoadFromFile(win::WindowsPath(path));
        image->SetStretch(c.stretch);
        image->SetProportional(c.proportional);
        image->SetCenter(c.center);
        EXPECT_EQ(image->DestRect(), c.dest)
            << c.pictureW << "x" << c.pictureH << " " << c.stretch << c.proportional << c.center;
        fs::remove(path);
    }
    Application->ResetForTesting();
}

class FileDialogsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        oldCwd = fs::current_path();
        for (const char* folder : {"c/Dane/Pod", "c/Inne", "d/Zdjecia"})
            fs::create_directories(root + "/" + folder);
        for (const char* file : {"c/Dane/list.txt", "c/Dane/raport.doc", "c/Dane/notatka.txt",
                                 "c/Dane/szkic.emf", "c/Dane/rysunek.wmf", "d/Zdjecia/opis.txt"})
            std::ofstream(root + "/" + file) << "tekst " << file;
        QImage wide(64, 32, QImage::Format_RGB32);
        wide.fill(Qt::darkCyan);
        ASSERT_TRUE(wide.save(QString::fromStdString(root + "/c/Dane/obraz.bmp"), "BMP"));
        QImage icon(32, 32, QImage::Format_ARGB32);
        icon.fill(Qt::darkMagenta);
        ASSERT_TRUE(icon.save(QString::fromStdString(root + "/c/Dane/ikona.ico"), "ICO"));
        driveTable.emplace("VL_DRIVES", "C=" + root + "/c;D=" + root + "/d");
        fs::current_path(root + "/c/Inne");
    }
    void TearDown() override {
        Application->ResetForTesting();
        fs::current_path(oldCwd);
    }

    // The dialog's window, seen from inside its modal loop.
    static TFileDialogForm& formOf(TOpenDialog& dialog) {
        EXPECT_NE(dialog.Form(), nullptr);
        return *dialog.Form();
    }
    static int row(const TListBox& list, const std::string& text) {
        for (int i = 0; i < list.Items().Count(); ++i)
            if (list.Items()[i] == text)
                return i;
        return -1;
    }
    // Where a screenshot goes: beside the test program, in the build folder.
    static std::string shotPath(const std::string& name) {
        return (fs::canonical("/proc/self/exe").parent_path() / ("screenshot-" + name + ".png")).string();
    }
    // Types the name into the edit (selected at open, so typing replaces it) and presses Enter.
    static void typeAndEnter(ModalWindow& window, const std::string& text) {
        window.TypeText(text);
        window.PressKey(VK_RETURN);
    }

    vltest::TempDir dir{"vclfd"};
    const std::string root = dir.Path();
    std::optional<vltest::ScopedEnv> driveTable;
    fs::path oldCwd;
};

TEST_F(FileDialogsTest, OpenWindowAsTheUserSeesIt) {
    TOpenDialog dialog(nullptr);
    dialog.SetFilter("Teksty (*.txt)|*.txt|Dokumenty (*.doc;*.txt)|*.doc;*.txt|Wszystkie|*.*");
    dialog.SetInitialDir("C:\\Dane");
    bool seen = false;
    ModalWindowResponder responder([&](ModalWindow& window) {
        TFileDialogForm& form = formOf(dialog);
        seen = true;
        EXPECT_EQ(window.Caption(), "Open");
        EXPECT_EQ(form.BorderStyle(), bsDialog);
        EXPECT_EQ(form.Widget()->minimumSize(), form.Widget()->maximumSize()); // not resizable
        EXPECT_EQ(form.FileNameLabel->Caption(), "File &name:");
        EXPECT_EQ(form.FoldersLabel->Caption(), "&Folders:");
        EXPECT_EQ(form.TypeLabel->Caption(), "List files of &type:");
        EXPECT_EQ(form.DrivesLabel->Caption(), "Dri&ves:");
        EXPECT_EQ(form.OKButton->Caption(), "OK");
        EXPECT_TRUE(form.OKButton->Default());
        EXPECT_EQ(form.CancelButton->Caption(), "Cancel");
        EXPECT_FALSE(form.ReadOnlyCheck->Visible());
        EXPECT_EQ(form.FolderLabel->Caption(), "C:\\Dane");
        EXPECT_EQ(form.DirList->Directory(), "C:\\Dane");
        // The filter list, its first entry selected and the file list listing by its mask.
        ASSERT_EQ(form.FilterCombo->Count(), 3);
        EXPECT_EQ(form.FilterCombo->Description(0), "Teksty (*.txt)");
        EXPECT_EQ(form.FilterCombo->Description(1), "Dokumenty (*.doc;*.txt)");
        EXPECT_EQ(form.FilterCombo->Description(2), "Wszystkie");
        EXPECT_EQ(form.FilterCombo->ItemIndex(), 0);
        EXPECT_EQ(ListLines(*form.FileList), (std::vector<std::string>{"list.txt", "notatka.txt"}));
        EXPECT_EQ(form.FileNameEdit->Text(), "*.txt");
        EXPECT_TRUE(form.FileNameEdit->Focused());
        EXPECT_TRUE(window.SaveScreenshot(shotPath("open")));
        form.FilterCombo->SetItemIndex(1);
        EXPECT_EQ(ListLines(*form.FileList), (std::vector<std::string>{"list.txt", "notatka.txt", "raport.doc"}));
        EXPECT_EQ(form.FileNameEdit->Text(), "*.doc;*.txt");
        window.ClickButton("Cancel");
    });
    EXPECT_FALSE(dialog.Execute());
    EXPECT_TRUE(seen);
    EXPECT_EQ(dialog.Form(), nullptr);
}

TEST_F(FileDialogsTest, OpenChoosesWhatIsTypedOrClicked) {
    const struct {
        const char* typed; // "" clicks "notatka.txt" in the file list and presses OK instead
        const char* chosen;
        const char* cwd; // the current folder afterwards, host side below the root
    } cases[] = {
        {"list.txt", "C:\\Dane\\list.txt", "c/Dane"},
        {"brak.txt", "C:\\Dane\\brak.txt", "c/Dane"}, // a missing file is accepted
        {"LIST.TXT", "C:\\Dane\\LIST.TXT", "c/Dane"},
        {"Pod\\nowy.txt", "C:\\Dane\\Pod\\nowy.txt", "c/Dane/Pod"},
        {"..\\Inne\\x.dat", "C:\\Inne\\x.dat", "c/Inne"},
        {"D:\\Zdjecia\\opis.txt", "D:\\Zdjecia\\opis.txt", "d/Zdjecia"},
        {"  list.txt  ", "C:\\Dane\\list.txt", "c/Dane"},
        {"Brak\\plik.txt", "C:\\Dane\\Brak\\plik.txt", "c/Dane"}, // a missing folder: stays
        {"", "C:\\Dane\\notatka.txt", "c/Dane"},
    };
    for (const auto& c : cases) {
        fs::current_path(root + "/c/Inne");
        TOpenDialog dialog(nullptr);
        dialog.SetFilter("Teksty|*.txt");
        dialog.SetInitialDir("C:\\Dane");
        ModalWindowResponder responder([&](ModalWindow& window) {
            TFileDialogForm& form = formOf(dialog);
            if (*c.typed) {
                typeAndEnter(window, c.typed);
            } else {
                ClickListLine(*form.FileList, row(*form.FileList, "notatka.txt"));
                EXPECT_EQ(form.FileNameEdit->Text(), "notatka.txt");
                ClickControl(*form.OKButton);
            }
        });
        ASSERT_TRUE(dialog.Execute()) << c.typed;
        EXPECT_EQ(dialog.FileName(), c.chosen) << c.typed;
        EXPECT_EQ(responder.LeftOpen(), 0);
        EXPECT_EQ(fs::current_path(), fs::path(root + "/" + c.cwd)) << c.typed;
    }
}

TEST_F(FileDialogsTest, TypedNamesThatKeepTheWindowOpen) {
    const std::string tooLong(300, 'x');
    const struct {
        const char* typed;
        const char* folder; // open afterwards
        const char* mask;   // of the file list afterwards
        const char* edit;   // text of the edit afterwards
        int boxes;          // message boxes shown
    } cases[] = {
        {"*.doc", "C:\\Dane", "*.doc", "*.doc", 0},
        {"r*.*", "C:\\Dane", "r*.*", "r*.*", 0},
        {"Pod", "C:\\Dane\\Pod", "*.txt", "*.txt", 0},
        {"..", "C:\\", "*.txt", "*.txt", 0},
        {"D:", "D:\\", "*.txt", "*.txt", 0},
        {"D:\\Zdjecia\\*.*", "D:\\Zdjecia", "*.*", "*.*", 0},
        {"Brak\\*.txt", "C:\\Dane", "*.txt", "Brak\\*.txt", 1},
        {"zly|plik.txt", "C:\\Dane", "*.txt", "zly|plik.txt", 1},
        {"   ", "C:\\Dane", "*.txt", "   ", 0},
        {tooLong.c_str(), "C:\\Dane", "*.txt", nullptr, 1},
    };
    for (const auto& c : cases) {
        fs::current_path(root + "/c/Inne");
        TOpenDialog dialog(nullptr);
        dialog.SetFilter("Teksty|*.txt");
        dialog.SetInitialDir("C:\\Dane");
        MessageBoxResponder boxes(win::IDOK);
        ModalWindowResponder responder([&](ModalWindow& window) {
            TFileDialogForm& form = formOf(dialog);
            typeAndEnter(window, c.typed);
            EXPECT_TRUE(window.Open()) << c.typed;
            EXPECT_EQ(form.DirList->Directory(), c.folder) << c.typed;
            EXPECT_EQ(form.FileList->Mask(), c.mask) << c.typed;
            if (c.edit) {
                EXPECT_EQ(form.FileNameEdit->Text(), c.edit) << c.typed;
            }
            window.PressKey(VK_ESCAPE);
        });
        EXPECT_FALSE(dialog.Execute()) << c.typed;
        EXPECT_EQ(responder.LeftOpen(), 0);
        ASSERT_EQ(boxes.Count(), c.boxes) << c.typed;
        if (c.boxes) {
            EXPECT_EQ(boxes[0].caption, "Open");
        }
    }
}

TEST_F(FileDialogsTest, CancelledEveryWayLeavesTheNameAndChoosesNothing) {
    const char* ways[] = {"Cancel", "Esc", "close box"};
    for (const std::string way : ways) {
        fs::current_path(root + "/c/Inne");
        TOpenDialog dialog(nullptr);
        dialog.SetInitialDir("C:\\Dane");
        dialog.SetFileName("stary.txt");
        ModalWindowResponder responder([&](ModalWindow& window) {
            TFileDialogForm& form = formOf(dialog);
            EXPECT_EQ(form.FileNameEdit->Text(), "stary.txt");
            form.DirList->SetDirectory("C:\\Dane\\Pod");
            if (way == "Cancel")
                window.ClickButton("Cancel");
            else if (way == "Esc")
                window.PressKey(VK_ESCAPE);
            else
                window.ClickCloseBox();
        });
        EXPECT_FALSE(dialog.Execute()) << way;
        EXPECT_EQ(dialog.FileName(), "stary.txt") << way;
        EXPECT_EQ(responder.Count(), 1);
        // The folder list made the last folder it opened the current one.
        EXPECT_EQ(fs::current_path(), fs::path(root + "/c/Dane/Pod")) << way;
    }
}

TEST_F(FileDialogsTest, NoChangeDirPutsTheCurrentFolderBack) {
    TOpenDialog dialog(nullptr);
    dialog.SetInitialDir("C:\\Dane");
    dialog.SetOptions({ofHideReadOnly, ofNoChangeDir});
    ModalWindowResponder responder([&](ModalWindow& window) {
        EXPECT_EQ(fs::current_path(), fs::path(root + "/c/Dane"));
        typeAndEnter(window, "Pod\\a.txt");
    });
    ASSERT_TRUE(dialog.Execute());
    EXPECT_EQ(dialog.FileName(), "C:\\Dane\\Pod\\a.txt");
    EXPECT_EQ(fs::current_path(), fs::path(root + "/c/Inne"));
}

TEST_F(FileDialogsTest, StartFolderAndTitle) {
    const struct {
        const char *initialDir, *title, *caption, *folder;
    } cases[] = {
        {"", "", "Open", "C:\\Inne"},                   // the current folder
        {"C:\\Brak", "Wczytaj", "Wczytaj", "C:\\Inne"}, // missing: the current folder
        {"d:\\zdjecia", "", "Open", "D:\\Zdjecia"},     // letter case as on disk
        {"..\\Dane", "", "Open", "C:\\Dane"},           // against the current folder
    };
    for (const auto& c : cases) {
        fs::current_path(root + "/c/Inne");
        TOpenDialog dialog(nullptr);
        dialog.SetInitialDir(c.initialDir);
        dialog.SetTitle(c.title);
        ModalWindowResponder responder([&](ModalWindow& window) {
            EXPECT_EQ(window.Caption(), c.caption);
            EXPECT_EQ(formOf(dialog).DirList->Directory(), c.folder) << c.initialDir;
            window.PressKey(VK_ESCAPE);
        });
        EXPECT_FALSE(dialog.Execute());
        EXPECT_EQ(responder.Count(), 1);
    }
}

TEST_F(FileDialogsTest, SaveAsksBeforeAnExistingFile) {
    const struct {
        const char* typed;
        int answer;
        bool chosen;
        int boxes;
    } cases[] = {
        {"list.txt", win::IDYES, true, 1},
        {"list.txt", win::IDNO, false, 1}, // the window stays open; Esc then
        {"nowy.txt", win::IDNO, true, 0},  // a new file: no question
    };
    for (const auto& c : cases) {
        TSaveDialog dialog(nullptr);
        dialog.SetOptions({ofOverwritePrompt, ofHideReadOnly});
        dialog.SetInitialDir("C:\\Dane");
        dialog.SetFileName("propozycja.txt");
        MessageBoxResponder boxes(c.answer);
        ModalWindowResponder responder([&](ModalWindow& window) {
            TFileDialogForm& form = formOf(dialog);
            EXPECT_EQ(window.Caption(), "Save As");
            EXPECT_EQ(form.TypeLabel->Caption(), "Save file as &type:");
            EXPECT_EQ(form.FileNameEdit->Text(), "propozycja.txt");
            EXPECT_EQ(form.FileNameEdit->SelText(), "propozycja.txt");
            typeAndEnter(window, c.typed);
            // Chosen, the window closes once its loop has control again; "No" keeps it open.
            EXPECT_EQ(form.ModalResult(), c.chosen ? mrOk : mrNone);
            if (!c.chosen)
                window.PressKey(VK_ESCAPE);
        });
        EXPECT_EQ(dialog.Execute(), c.chosen) << c.typed << " " << c.answer;
        if (c.chosen) {
            EXPECT_EQ(dialog.FileName(), std::string("C:\\Dane\\") + c.typed);
        }
        ASSERT_EQ(boxes.Count(), c.boxes);
        if (c.boxes) {
            EXPECT_EQ(boxes[0].text, "C:\\Dane\\list.txt already exists.\nDo you want to replace it?");
            EXPECT_EQ(boxes[0].caption, "Save As");
            EXPECT_EQ(boxes[0].type, win::MB_YESNO | win::MB_ICONWARNING);
        }
        // Nothing was written.
        EXPECT_EQ(fs::file_size(root + "/c/Dane/list.txt"), std::string("tekst c/Dane/list.txt").size());
        EXPECT_FALSE(fs::exists(root + "/c/Dane/nowy.txt"));
    }
}

TEST_F(FileDialogsTest, SaveProposesANameWithItsFolder) {
    TSaveDialog dialog(nullptr);
    dialog.SetTitle("Zapisz raport");
    dialog.SetFileName("D:\\Zdjecia\\raport.txt");
    dialog.SetInitialDir("C:\\Dane");
    ModalWindowResponder responder([&](ModalWindow& window) {
        EXPECT_EQ(window.Caption(), "Zapisz raport");
        EXPECT_EQ(formOf(dialog).DirList->Directory(), "D:\\Zdjecia");
        EXPECT_EQ(formOf(dialog).FileNameEdit->Text(), "raport.txt");
        EXPECT_TRUE(window.SaveScreenshot(shotPath("save")));
        window.PressKey(VK_RETURN);
    });
    ASSERT_TRUE(dialog.Execute());
    EXPECT_EQ(dialog.FileName(), "D:\\Zdjecia\\raport.txt");
    EXPECT_EQ(fs::current_path(), fs::path(root + "/d/Zdjecia"));
}

TEST_F(FileDialogsTest, PicturePanelFollowsTheSelection) {
    const struct {
        const char* file;
        const char* label;
        bool picture;
    } cases[] = {
        {"obraz.bmp", " (64x32)", true},    {"ikona.ico", " (32x32)", true},
        {"notatka.txt", "Picture:", false}, {"szkic.emf", "Picture:", false},
        {"rysunek.wmf", "Picture:", false},
    };
    TOpenPictureDialog dialog(nullptr);
    dialog.SetFilter("Wszystkie|*.*");
    dialog.SetInitialDir("C:\\Dane");
    ModalWindowResponder responder([&](ModalWindow& window) {
        TFileDialogForm& form = formOf(dialog);
        TPicturePreviewPanel* panel = dialog.PreviewPanel();
        ASSERT_NE(panel, nullptr);
        EXPECT_EQ(window.Caption(), "Open");
        // Nothing selected yet.
        EXPECT_EQ(panel->PictureLabel->Caption(), "Picture:");
        EXPECT_EQ(panel->PaintPanel->Caption(), "(None)");
        EXPECT_FALSE(panel->PreviewButton->Enabled());
        EXPECT_GE(panel->Left(), form.OKButton->Left() + form.OKButton->Width());
        for (const auto& c : cases) {
            ClickListLine(*form.FileList, row(*form.FileList, c.file));
            EXPECT_EQ(panel->PictureLabel->Caption(), c.label) << c.file;
            EXPECT_EQ(panel->PaintPanel->Caption(), c.picture ? "" : "(None)") << c.file;
            EXPECT_EQ(panel->PreviewButton->Enabled(), c.picture) << c.file;
            EXPECT_EQ(panel->HasPicture(), c.picture) << c.file;
            if (std::string(c.file) == "obraz.bmp") {
                // Scaled to the area's width, proportions kept, centred.
                const TRect dest = panel->Image->DestRect();
                EXPECT_EQ(dest.Width(), panel->Image->Width());
                EXPECT_EQ(dest.Height(), panel->Image->Width() / 2);
                EXPECT_EQ(dest.Top, (panel->Image->Height() - dest.Height()) / 2);
                EXPECT_TRUE(window.SaveScreenshot(shotPath("picture")));
            }
        }
        // A folder change lists anew: nothing selected, no picture.
        ClickListLine(*form.FileList, row(*form.FileList, "obraz.bmp"));
        form.DirList->SetDirectory("C:\\Dane\\Pod");
        EXPECT_EQ(panel->PictureLabel->Caption(), "Picture:");
        EXPECT_FALSE(panel->PreviewButton->Enabled());
        window.PressKey(VK_ESCAPE);
    });
    EXPECT_FALSE(dialog.Execute());
    EXPECT_EQ(dialog.PreviewPanel(), nullptr);
}

TEST_F(FileDialogsTest, PreviewOpensThePictureInAWindowOfItsOwn) {
    TOpenPictureDialog dialog(nullptr);
    dialog.SetFilter("Bitmaps (*.bmp)|*.bmp");
    dialog.SetInitialDir("C:\\Dane");
    bool previewed = false;
    ModalWindowResponder responder([&](ModalWindow& window) {
        if (window.Caption() == "Preview") {
            TForm* preview = dialog.PreviewPanel()->PreviewForm();
            ASSERT_NE(preview, nullptr);
            auto* image = dynamic_cast<TImage*>(preview->Components(0));
            ASSERT_NE(image, nullptr);
            EXPECT_EQ(image->Picture().Width(), 64);
            EXPECT_EQ(image->DestRect().Width(), image->Width()); // fitted to the window
            EXPECT_FALSE(formOf(dialog).Widget()->isEnabled());   // the dialog waits below it
            EXPECT_TRUE(window.SaveScreenshot(shotPath("preview")));
            previewed = true;
            window.PressKey(VK_ESCAPE);
            return;
        }
        TFileDialogForm& form = formOf(dialog);
        ClickListLine(*form.FileList, row(*form.FileList, "obraz.bmp"));
        ClickControl(*dialog.PreviewPanel()->PreviewButton);
        EXPECT_TRUE(previewed);
        EXPECT_TRUE(form.Widget()->isEnabled());
        EXPECT_EQ(dialog.PreviewPanel()->PreviewForm(), nullptr);
        window.PressKey(VK_RETURN);
    });
    ASSERT_TRUE(dialog.Execute());
    EXPECT_EQ(dialog.FileName(), "C:\\Dane\\obraz.bmp");
    EXPECT_EQ(responder.Captions(), (std::vector<std::string>{"Open", "Preview"}));
    EXPECT_EQ(responder.LeftOpen(), 0);
}

} // namespace
