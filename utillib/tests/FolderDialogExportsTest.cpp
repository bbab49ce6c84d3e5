// The folder dialogs as a host calls them: the library loaded with dlopen into a program that
// runs Qt (on the offscreen platform), each dialog driven as a user drives it while the export
// waits, on real folders behind the drive table.

#include "HostLibrary.h"

#include <vcl/testing/ModalWindowResponder.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QScreen>
#include <QTreeWidget>
#include <QWidget>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <unistd.h>

using namespace hosttest;
using vcl::testing::ModalWindow;
using vcl::testing::ModalWindowResponder;
namespace fs = std::filesystem;

namespace {

constexpr vcl::WORD VK_RETURN = 0x0D, VK_ESCAPE = 0x1B, VK_DOWN = 0x28;

// A picture's place under the build folder (build/<kind>/screenshots).
std::string Screenshot(const std::string& name) {
    const char* bin = std::getenv("VL_BIN_DIR");
    const fs::path dir = fs::path(bin ? bin : ".") / ".." / "screenshots";
    fs::create_directories(dir);
    return (dir / name).string();
}

// Two drives in a temporary folder, C: the current one.
class FolderDialogs : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/vl_dialogs_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root = pattern;
        for (const char* folder : {"c/Data/Sub/Deep", "c/Data/Inny", "c/Data/.hidden", "c/Temp", "d/Dane"})
            fs::create_directories(root + "/" + folder);
        for (const char* file : {"c/Data/plik.txt", "c/Data/obraz.bmp"})
            std::ofstream(root + "/" + file) << file;
        ASSERT_EQ(setenv("VL_DRIVES", ("C=" + root + "/c;D=" + root + "/d").c_str(), 1), 0);
        oldCwd = fs::current_path();
        fs::current_path(root + "/c");
    }
    void TearDown() override {
        fs::current_path(oldCwd);
        unsetenv("VL_DRIVES");
        fs::remove_all(root);
    }
    std::string Host(const std::string& relative) const { return root + "/" + relative; }
    std::string Cwd() const { return fs::current_path().string(); }

    std::string root;
    fs::path oldCwd;
    HostLibrary library;
    decltype(&::SelectFolder) selectFolder = library.Export<decltype(::SelectFolder)>("SelectFolder");
    decltype(&::SelectFolderVB) selectFolderVB = library.Export<decltype(::SelectFolderVB)>("SelectFolderVB");
    decltype(&::SelectFolderExt) selectFolderExt = library.Export<decltype(::SelectFolderExt)>("SelectFolderExt");
    decltype(&::GetLongPath) getLongPath = library.Export<decltype(::GetLongPath)>("GetLongPath");
};

std::vector<std::string> TopTexts(ModalWindow& w) {
    std::vector<std::string> out;
    if (auto* tree = w.Child<QTreeWidget>("Tree"))
        for (int i = 0; i < tree->topLevelItemCount(); ++i)
            out.push_back(tree->topLevelItem(i)->text(0).toStdString());
    return out;
}

// ---- The folder browser ----

TEST_F(FolderDialogs, SelectFolderReturnsTheChosenFolderOrNothing) {
    struct Case {
        const char* how;
        const char* root;
        std::vector<std::string> tops;
        std::function<void(ModalWindow&)> act;
        const char* result;
    } cases[] = {
        {"OK on the root", "C:\\Data", {"Data"}, [](ModalWindow& w) { w.ClickButton("OK"); }, "C:\\Data"},
        {"a subfolder by keys, Enter", "c:\\data", {"Data"},
         [](ModalWindow& w) {
             w.PressKey(VK_DOWN);
             w.PressKey(VK_RETURN);
         },
         "C:\\Data\\Inny"},
        {"the drives for an empty root", "", {"c (C:)", "d (D:)"},
         [](ModalWindow& w) {
             w.PressKey(VK_DOWN);
             w.PressKey(VK_DOWN);
             w.ClickButton("OK");
         },
         "D:\\"},
        {"the drives for a root that names no folder", "Data", {"c (C:)", "d (D:)"},
         [](ModalWindow& w) {
             w.PressKey(VK_DOWN);
             w.ClickButton("OK");
         },
         "C:\\"},
        {"Esc", "C:\\Data", {"Data"}, [](ModalWindow& w) { w.PressKey(VK_ESCAPE); }, ""},
        {"Cancel", "C:\\Data", {"Data"}, [](ModalWindow& w) { w.ClickButton("Cancel"); }, ""},
        {"close box", "C:\\Data", {"Data"}, [](ModalWindow& w) { w.ClickCloseBox(); }, ""},
    };
    for (const Case& c : cases) {
        std::vector<std::string> tops;
        std::string text;
        ModalWindowResponder responder([&](ModalWindow& w) {
            tops = TopTexts(w);
            if (auto* tree = w.Child<QTreeWidget>("Tree"))
                EXPECT_EQ(w.FocusWidget(), tree) << c.how;
            c.act(w);
        });
        const char* result = selectFolder("Wybierz katalog danych", c.root);
        ASSERT_NE(result, nullptr) << c.how;
        EXPECT_STREQ(result, c.result) << c.how;
        EXPECT_EQ(tops, c.tops) << c.how;
        EXPECT_EQ(responder.Captions(), std::vector<std::string>{"Browse for Folder"}) << c.how;
        EXPECT_EQ(responder.LeftOpen(), 0) << c.how;
        // The result lies in the buffer that the path exports share.
        EXPECT_EQ(getLongPath("C:\\x\\y", 1), result) << c.how;
    }
}

TEST_F(FolderDialogs, SelectFolderVBFillsTheBufferOnlyWhenChosen) {
    struct Case {
        const char* how;
        std::function<void(ModalWindow&)> act;
        std::uint8_t result;
        const char* folder;
    } cases[] = {
        {"chosen", [](ModalWindow& w) {
             w.PressKey(VK_DOWN);
             w.PressKey(VK_DOWN);
             w.ClickButton("OK");
         },
         1, "C:\\Data\\Sub"},
        {"Esc", [](ModalWindow& w) { w.PressKey(VK_ESCAPE); }, 0, nullptr},
        {"Cancel", [](ModalWindow& w) { w.ClickButton("Cancel"); }, 0, nullptr},
        {"close box", [](ModalWindow& w) { w.ClickCloseBox(); }, 0, nullptr},
    };
    for (const Case& c : cases) {
        std::array<char, 300> buffer;
        for (std::size_t i = 0; i < buffer.size(); ++i)
            buffer[i] = static_cast<char>(0xA5 ^ i);
        const std::array<char, 300> before = buffer;
        ModalWindowResponder responder([&](ModalWindow& w) { c.act(w); });
        EXPECT_EQ(selectFolderVB("Katalog", "C:\\Data", buffer.data()) & 0xFF, c.result) << c.how;
        EXPECT_EQ(responder.Count(), 1) << c.how;
        if (!c.folder) {
            EXPECT_EQ(buffer, before) << c.how; // byte for byte
            continue;
        }
        const std::size_t n = std::strlen(c.folder);
        EXPECT_EQ(std::string(buffer.data(), n + 1), std::string(c.folder, n + 1)) << c.how;
        // Nothing after the text's 0 byte is written.
        EXPECT_TRUE(std::equal(buffer.begin() + static_cast<long>(n + 1), buffer.end(),
                               before.begin() + static_cast<long>(n + 1)))
            << c.how;
    }
}

TEST_F(FolderDialogs, TheBrowserLooksAsItShould) {
    ModalWindowResponder responder([&](ModalWindow& w) {
        QWidget* window = w.Widget();
        EXPECT_EQ(window->minimumSize(), window->maximumSize()); // not resizable
        EXPECT_TRUE(w.Button("OK")->isEnabled());
        EXPECT_TRUE(w.Button("Cancel")->isEnabled());
        EXPECT_TRUE(w.SaveScreenshot(Screenshot("SelectFolder.png")));
        w.PressKey(VK_ESCAPE);
    });
    EXPECT_STREQ(selectFolder("Wybierz katalog, do kt\xF3rego zostan\xB9 zapisane pliki:", "C:\\Data"), "");
    EXPECT_EQ(responder.Count(), 1);
}

// ---- Modal to the calling thread ----

TEST_F(FolderDialogs, TheHostsOtherWindowsAreDisabledWhileADialogIsOpen) {
    QWidget mainWindow, toolWindow, disabledWindow, hiddenWindow;
    mainWindow.setWindowTitle("host");
    mainWindow.show();
    toolWindow.show();
    disabledWindow.show();
    disabledWindow.setEnabled(false);
    const std::function<void()> dialogs[] = {
        [&] { selectFolder("", "C:\\Data"); },
        [&] {
            char buffer[260];
            selectFolderVB("", "", buffer);
        },
        [&] { selectFolderExt("C:\\Data"); },
    };
    for (const auto& open : dialogs) {
        bool mainDuring = true, toolDuring = true, dialogDuring = false;
        ModalWindowResponder responder([&](ModalWindow& w) {
            mainDuring = mainWindow.isEnabled();
            toolDuring = toolWindow.isEnabled();
            dialogDuring = w.Widget()->isEnabled();
            w.ClickButton("Cancel");
        });
        open();
        EXPECT_EQ(responder.Count(), 1);
        EXPECT_FALSE(mainDuring);
        EXPECT_FALSE(toolDuring);
        EXPECT_TRUE(dialogDuring);
        EXPECT_TRUE(mainWindow.isEnabled());
        EXPECT_TRUE(toolWindow.isEnabled());
        EXPECT_FALSE(disabledWindow.isEnabled()); // the host's own choice stays
        EXPECT_TRUE(hiddenWindow.isEnabled());
        // The dialog is gone: only the host's windows are left.
        int windows = 0;
        for (QWidget* w : QApplication::topLevelWidgets())
            windows += w == &mainWindow || w == &toolWindow || w == &disabledWindow || w == &hiddenWindow ? 0 : 1;
        EXPECT_EQ(windows, 0);
    }
}

// ---- The directory dialog ----

std::string EditText(ModalWindow& w) {
    auto* edit = w.Child<QLineEdit>("DirEdit");
    return edit ? edit->text().toStdString() : "<no edit>";
}

// Types into the "Directory &Name:" edit, reached by its label's accelerator.
void TypeName(ModalWindow& w, const std::string& text) {
    w.PressKey('N', {vcl::ssAlt});
    ASSERT_NE(w.FocusWidget(), nullptr);
    ASSERT_EQ(w.FocusWidget()->objectName().toStdString(), "DirEdit");
    auto* edit = w.Child<QLineEdit>("DirEdit");
    edit->selectAll();
    w.TypeText(text);
}

TEST_F(FolderDialogs, SelectFolderExtStartsWhereItCan) {
    struct Case {
        const char* initialDir;
        const char* shown; // in the edit, and the current folder
        const char* hostCwd;
    } cases[] = {
        {"C:\\Data", "C:\\Data", "c/Data"},
        {"c:\\data\\sub\\", "C:\\Data\\Sub", "c/Data/Sub"},
        {"Data\\Sub", "C:\\Data\\Sub", "c/Data/Sub"},    // relative to the current folder
        {"D:\\Dane", "D:\\Dane", "d/Dane"},             // another drive
        {"D:\\brak\\nic", "D:\\", "d"},                 // a missing folder: its drive's root
        {"Q:\\Data", "C:\\", "c"},                      // a drive the table lacks: where it was
        {"", "C:\\", "c"},                              // the current folder
        {"\\\\server\\share", "C:\\", "c"},             // no drive letter
    };
    for (const Case& c : cases) {
        fs::current_path(root + "/c");
        std::string shown, focused;
        ModalWindowResponder responder([&](ModalWindow& w) {
            shown = EditText(w);
            focused = w.FocusWidget() ? w.FocusWidget()->objectName().toStdString() : "";
            w.ClickButton("OK");
        });
        const char* result = selectFolderExt(c.initialDir);
        EXPECT_EQ(shown, c.shown) << c.initialDir;
        EXPECT_STREQ(result, c.shown) << c.initialDir;
        EXPECT_EQ(focused, "DirList") << c.initialDir;
        EXPECT_EQ(Cwd(), fs::canonical(Host(c.hostCwd)).string()) << c.initialDir;
        EXPECT_EQ(responder.Captions(), std::vector<std::string>{"Select Directory"}) << c.initialDir;
    }
}

TEST_F(FolderDialogs, SelectFolderExtLeavesTheCurrentFolderWhereTheListWent) {
    // The folder list has the focus: Down and Enter open the line below the open folder.
    struct Case {
        const char* how;
        const char* button;
        const char* result;
    } cases[] = {{"OK", "OK", "C:\\Data\\Inny"}, {"Cancel", "Cancel", ""}};
    for (const Case& c : cases) {
        fs::current_path(root + "/c");
        std::string shown;
        ModalWindowResponder responder([&](ModalWindow& w) {
            w.PressKey(VK_DOWN);
            w.PressKey(VK_RETURN);
            shown = EditText(w);
            w.ClickButton(c.button);
        });
        EXPECT_STREQ(selectFolderExt("C:\\Data"), c.result) << c.how;
        EXPECT_EQ(shown, "C:\\Data\\Inny") << c.how;
        // Not put back, whichever way the dialog closed.
        EXPECT_EQ(Cwd(), fs::canonical(Host("c/Data/Inny")).string()) << c.how;
    }
}

TEST_F(FolderDialogs, SelectFolderExtCreatesATypedFolderAfterYes) {
    std::vector<std::string> boxTexts;
    ModalWindowResponder responder([&](ModalWindow& w) {
        if (w.Caption() == "Confirm") {
            boxTexts.push_back(w.Text());
            EXPECT_NE(w.Button("&Yes"), nullptr);
            EXPECT_NE(w.Button("&No"), nullptr);
            EXPECT_TRUE(w.SaveScreenshot(Screenshot("SelectFolderExt-Confirm.png")));
            w.ClickButton("&Yes");
            return;
        }
        TypeName(w, "C:\\Data\\Nowy\\Dalej");
        w.PressKey(VK_RETURN); // OK is the default button
    });
    EXPECT_STREQ(selectFolderExt("C:\\Data"), "C:\\Data\\Nowy\\Dalej");
    EXPECT_EQ(boxTexts, std::vector<std::string>{"The specified directory does not exist. Create it?"});
    EXPECT_EQ(responder.Captions(), (std::vector<std::string>{"Select Directory", "Confirm"}));
    EXPECT_TRUE(fs::is_directory(Host("c/Data/Nowy/Dalej")));
}

TEST_F(FolderDialogs, SelectFolderExtStaysOpenAfterNo) {
    bool openAfterNo = false;
    int boxes = 0;
    ModalWindowResponder responder([&](ModalWindow& w) {
        if (w.Caption() == "Confirm") {
            ++boxes;
            w.ClickButton("&No");
            return;
        }
        TypeName(w, "C:\\Data\\Nowy");
        w.ClickButton("OK");
        openAfterNo = w.Open();
        EXPECT_EQ(EditText(w), "C:\\Data\\Nowy"); // what the user typed is still there
        w.ClickButton("Cancel");
    });
    EXPECT_STREQ(selectFolderExt("C:\\Data"), "");
    EXPECT_EQ(boxes, 1);
    EXPECT_TRUE(openAfterNo);
    EXPECT_FALSE(fs::exists(Host("c/Data/Nowy")));
}

TEST_F(FolderDialogs, SelectFolderExtWithAnEmptyNameCreatesNothing) {
    ModalWindowResponder responder([&](ModalWindow& w) {
        if (w.Caption() == "Confirm") {
            w.ClickButton("&Yes");
            return;
        }
        TypeName(w, "");
        w.Child<QLineEdit>("DirEdit")->clear();
        w.ClickButton("OK");
    });
    const auto before = std::distance(fs::recursive_directory_iterator(root), {});
    EXPECT_STREQ(selectFolderExt("C:\\Data"), "");
    EXPECT_EQ(responder.Count(), 2);
    EXPECT_EQ(std::distance(fs::recursive_directory_iterator(root), {}), before);
}

TEST_F(FolderDialogs, TheDirectoryDialogLooksAsItShould) {
    ModalWindowResponder responder([&](ModalWindow& w) {
        QWidget* window = w.Widget();
        EXPECT_EQ(window->size(), QSize(424, 255)); // at the offscreen platform's 96 dpi
        EXPECT_EQ(window->minimumSize(), window->maximumSize());
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        // Centred, give or take the frame the window system adds around it.
        EXPECT_LE(std::abs(window->geometry().center().x() - screen.center().x()), 4);
        EXPECT_LE(std::abs(window->geometry().center().y() - screen.center().y()), 4);
        // "Ne&twork..." exists but is hidden; the file list is for looking only.
        ASSERT_NE(w.Button("Ne&twork..."), nullptr);
        EXPECT_TRUE(w.Button("Ne&twork...")->isHidden());
        for (const char* caption : {"OK", "Cancel", "&Help"})
            EXPECT_TRUE(w.Button(caption) && w.Button(caption)->isVisible()) << caption;
        auto* files = w.Child<QListWidget>("FileList");
        ASSERT_NE(files, nullptr);
        EXPECT_FALSE(files->isEnabled());
        std::vector<std::string> names;
        for (int i = 0; i < files->count(); ++i)
            names.push_back(files->item(i)->text().toStdString());
        EXPECT_EQ(names, (std::vector<std::string>{"obraz.bmp", "plik.txt"}));
        auto* drives = w.Child<QComboBox>("DriveList");
        ASSERT_NE(drives, nullptr);
        EXPECT_EQ(drives->count(), 2);
        EXPECT_EQ(drives->currentText().toStdString(), "c: [c]");
        EXPECT_TRUE(w.SaveScreenshot(Screenshot("SelectFolderExt.png")));

        // "&Help" asks for its topic; with no help file nothing opens and the dialog stays.
        const int windowsBefore = static_cast<int>(QApplication::topLevelWidgets().size());
        w.ClickButton("&Help");
        EXPECT_TRUE(w.Open());
        int visible = 0;
        for (QWidget* other : QApplication::topLevelWidgets())
            visible += other != window && other->isVisible() ? 1 : 0;
        EXPECT_EQ(visible, 0);
        EXPECT_EQ(static_cast<int>(QApplication::topLevelWidgets().size()), windowsBefore);
        w.PressKey(VK_ESCAPE);
    });
    EXPECT_STREQ(selectFolderExt("C:\\Data"), "");
    EXPECT_EQ(responder.Count(), 1);
    EXPECT_EQ(responder.LeftOpen(), 0);
}

} // namespace
