// The file dialog exports as a Qt host calls them: the library loaded with dlopen, each
// dialog driven from inside its modal loop through what the window shows (offscreen).

#include "HostLibrary.h"

#include <vcl/testing/ModalWindowResponder.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <QWidget>

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <unistd.h>

namespace fs = std::filesystem;
using vcl::testing::ModalWindow;
using vcl::testing::ModalWindowResponder;

namespace {

using SelectFileOpenFn = const char* VL_LIB32_CALL(const char*, const char*, const char*);
using SelectFileSaveAsFn = const char* VL_LIB32_CALL(const char*, const char*, const char*);
using SelectImageFileFn = const char* VL_LIB32_CALL(const char*);

class FileDialogExports : public ::testing::Test {
  protected:
    void SetUp() override {
        oldCwd = fs::current_path();
        fs::create_directories(root + "/c/Dane/Pod");
        fs::create_directories(root + "/c/Inne");
        for (const char* file :
             {"c/Dane/list.txt", "c/Dane/raport.doc", "c/Dane/notatka.txt", "c/Dane/szkic.emf"})
            std::ofstream(root + "/" + file) << "tekst";
        QImage picture(48, 24, QImage::Format_RGB32);
        picture.fill(Qt::darkGreen);
        ASSERT_TRUE(picture.save(QString::fromStdString(root + "/c/Dane/obraz.bmp"), "BMP"));
        driveTable.emplace("VL_DRIVES", "C=" + root + "/c");
        fs::current_path(root + "/c/Inne");
        // A window of the host's own, which every dialog must disable while it is open.
        hostWindow = std::make_unique<QWidget>();
        hostWindow->setWindowTitle("Host");
        hostWindow->resize(200, 100);
        hostWindow->show();
    }
    void TearDown() override {
        hostWindow.reset();
        fs::current_path(oldCwd);
    }

    static std::vector<std::string> comboItems(ModalWindow& window, const char* name) {
        std::vector<std::string> out;
        if (auto* box = window.Child<QComboBox>(name))
            for (int i = 0; i < box->count(); ++i)
                out.push_back(box->itemText(i).toStdString());
        return out;
    }
    static std::vector<std::string> listItems(ModalWindow& window, const char* name) {
        std::vector<std::string> out;
        if (auto* list = window.Child<QListWidget>(name))
            for (int i = 0; i < list->count(); ++i)
                out.push_back(list->item(i)->text().toStdString());
        return out;
    }
    static void clickItem(ModalWindow& window, const char* list, const std::string& text) {
        auto* widget = window.Child<QListWidget>(list);
        ASSERT_NE(widget, nullptr);
        const auto found = widget->findItems(QString::fromStdString(text), Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << text;
        QTest::mouseClick(widget->viewport(), Qt::LeftButton, Qt::NoModifier,
                          widget->visualItemRect(found[0]).center());
    }
    static std::string accessibleName(ModalWindow& window, const char* name) {
        QWidget* w = window.Child(name);
        return w ? w->accessibleName().toStdString() : "(missing " + std::string(name) + ")";
    }
    static std::string shotPath(const std::string& name) {
        return (fs::canonical("/proc/self/exe").parent_path() / ("screenshot-" + name + ".png")).string();
    }

    hosttest::HostLibrary lib;
    vltest::TempDir dir{"vlfd"};
    const std::string root = dir.Path();
    std::optional<vltest::ScopedEnv> driveTable;
    fs::path oldCwd;
    std::unique_ptr<QWidget> hostWindow;
};

TEST_F(FileDialogExports, OpenTakesATypedMissingNameAndMovesTheCurrentFolder) {
    auto* SelectFileOpen = lib.Export<SelectFileOpenFn>("SelectFileOpen");
    ModalWindowResponder responder([&](ModalWindow& window) {
        EXPECT_EQ(window.Caption(), "Wczytaj dane");
        EXPECT_FALSE(hostWindow->isEnabled());
        EXPECT_EQ(comboItems(window, "FilterCombo"),
                  (std::vector<std::string>{"Teksty (*.txt)", "Dokumenty (*.doc;*.txt)", "Wszystkie (*.*)"}));
        EXPECT_EQ(window.Child<QComboBox>("FilterCombo")->currentIndex(), 0);
        EXPECT_EQ(listItems(window, "FileList"), (std::vector<std::string>{"list.txt", "notatka.txt"}));
        EXPECT_TRUE(window.SaveScreenshot(shotPath("SelectFileOpen")));
        EXPECT_EQ(window.FocusWidget(), window.Child<QLineEdit>("FileNameEdit"));
        window.TypeText("Pod\\nowy.txt");
        window.PressKey(vcl::VK_RETURN);
    });
    const char* chosen = SelectFileOpen("Wczytaj dane",
                                        "Teksty (*.txt)|*.txt|Dokumenty (*.doc;*.txt)|*.doc;*.txt|"
                                        "Wszystkie (*.*)|*.*",
                                        "C:\\Dane");
    ASSERT_NE(chosen, nullptr);
    EXPECT_STREQ(chosen, "C:\\Dane\\Pod\\nowy.txt");
    EXPECT_EQ(responder.Count(), 1);
    EXPECT_EQ(responder.LeftOpen(), 0);
    EXPECT_TRUE(hostWindow->isEnabled());
    EXPECT_EQ(fs::current_path(), fs::path(root + "/c/Dane/Pod"));
    EXPECT_FALSE(fs::exists(root + "/c/Dane/Pod/nowy.txt"));
}

TEST_F(FileDialogExports, OpenCancelledGivesAnEmptyText) {
    auto* SelectFileOpen = lib.Export<SelectFileOpenFn>("SelectFileOpen");
    ModalWindowResponder responder([&](ModalWindow& window) {
        EXPECT_EQ(window.Caption(), "Open");
        EXPECT_EQ(comboItems(window, "FilterCombo"), (std::vector<std::string>{"All files (*.*)"}));
        window.PressKey(vcl::VK_ESCAPE);
    });
    const char* chosen = SelectFileOpen(nullptr, nullptr, nullptr);
    ASSERT_NE(chosen, nullptr);
    EXPECT_STREQ(chosen, "");
    EXPECT_EQ(responder.Count(), 1);
    EXPECT_TRUE(hostWindow->isEnabled());
    EXPECT_EQ(fs::current_path(), fs::path(root + "/c/Inne"));
}

TEST_F(FileDialogExports, SaveAsksBeforeReplacingAnExistingFile) {
    auto* SelectFileSaveAs = lib.Export<SelectFileSaveAsFn>("SelectFileSaveAs");
    for (const bool replace : {false, true}) {
        std::vector<std::string> boxes;
        ModalWindowResponder responder([&](ModalWindow& window) {
            if (!window.Text().empty()) {
                boxes.push_back(window.Caption() + "|" + window.Text());
                window.ClickButton(replace ? "&Yes" : "&No");
                return;
            }
            EXPECT_EQ(window.Caption(), "Save As");
            EXPECT_EQ(window.Child<QLineEdit>("FileNameEdit")->text().toStdString(), "wynik.txt");
            if (replace) {
                EXPECT_TRUE(window.SaveScreenshot(shotPath("SelectFileSaveAs")));
            }
            window.TypeText("list.txt");
            window.PressKey(vcl::VK_RETURN);
            if (!replace) { // the dialog stays for another name
                window.TypeText("inny.txt");
                window.PressKey(vcl::VK_RETURN);
            }
        });
        const char* chosen = SelectFileSaveAs("", "wynik.txt", "C:\\Dane");
        EXPECT_STREQ(chosen, replace ? "C:\\Dane\\list.txt" : "C:\\Dane\\inny.txt");
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0], "Save As|C:\\Dane\\list.txt already exists.\nDo you want to replace it?");
        EXPECT_EQ(responder.LeftOpen(), 0);
        EXPECT_EQ(fs::file_size(root + "/c/Dane/list.txt"), 5u); // nothing written
    }
}

TEST_F(FileDialogExports, SaveChoosesTheProposedName) {
    auto* SelectFileSaveAs = lib.Export<SelectFileSaveAsFn>("SelectFileSaveAs");
    ModalWindowResponder responder([&](ModalWindow& window) {
        EXPECT_EQ(window.Caption(), "Zapisz");
        window.PressKey(vcl::VK_RETURN);
    });
    EXPECT_STREQ(SelectFileSaveAs("Zapisz", "wynik.txt", "C:\\Dane"), "C:\\Dane\\wynik.txt");
    EXPECT_EQ(fs::current_path(), fs::path(root + "/c/Dane"));
    EXPECT_FALSE(fs::exists(root + "/c/Dane/wynik.txt"));
}

TEST_F(FileDialogExports, PictureDialogPreviewsBitmapsOnly) {
    auto* SelectImageFile = lib.Export<SelectImageFileFn>("SelectImageFile");
    ModalWindowResponder responder([&](ModalWindow& window) {
        if (window.Caption() == "Preview") {
            window.PressKey(vcl::VK_ESCAPE);
            return;
        }
        EXPECT_EQ(window.Caption(), "Open");
        EXPECT_EQ(
            comboItems(window, "FilterCombo"),
            (std::vector<std::string>{"All (*.bmp;*.ico;*.emf;*.wmf)", "Bitmaps (*.bmp)", "Icons (*.ico)",
                                      "Enhanced Metafiles (*.emf)", "Metafiles (*.wmf)"}));
        EXPECT_EQ(listItems(window, "FileList"), (std::vector<std::string>{"obraz.bmp", "szkic.emf"}));
        EXPECT_EQ(accessibleName(window, "PictureLabel"), "Picture:");
        EXPECT_EQ(accessibleName(window, "PaintPanel"), "(None)");
        EXPECT_FALSE(window.Child("PreviewButton")->isEnabled());
        clickItem(window, "FileList", "obraz.bmp");
        EXPECT_EQ(accessibleName(window, "PictureLabel"), " (48x24)");
        EXPECT_EQ(accessibleName(window, "PaintPanel"), "");
        EXPECT_TRUE(window.Child("PreviewButton")->isEnabled());
        EXPECT_TRUE(window.SaveScreenshot(shotPath("SelectImageFile")));
        window.ClickButton("Preview");
        clickItem(window, "FileList", "szkic.emf"); // listed, but no picture on this platform
        EXPECT_EQ(accessibleName(window, "PictureLabel"), "Picture:");
        EXPECT_EQ(accessibleName(window, "PaintPanel"), "(None)");
        EXPECT_FALSE(window.Child("PreviewButton")->isEnabled());
        clickItem(window, "FileList", "obraz.bmp");
        window.ClickButton("OK");
    });
    const char* chosen = SelectImageFile("C:\\Dane");
    EXPECT_STREQ(chosen, "C:\\Dane\\obraz.bmp");
    EXPECT_EQ(responder.Captions(), (std::vector<std::string>{"Open", "Preview"}));
    EXPECT_EQ(responder.LeftOpen(), 0);
    EXPECT_TRUE(hostWindow->isEnabled());
}

TEST_F(FileDialogExports, PictureDialogCancelledAndTheTextFile) {
    auto* SelectImageFile = lib.Export<SelectImageFileFn>("SelectImageFile");
    ModalWindowResponder responder([&](ModalWindow& window) {
        auto* filter = window.Child<QComboBox>("FilterCombo");
        ASSERT_NE(filter, nullptr);
        // A text file typed as a mask is listed and selected: it shows as no picture.
        window.TypeText("*.txt");
        window.PressKey(vcl::VK_RETURN);
        EXPECT_EQ(listItems(window, "FileList"), (std::vector<std::string>{"list.txt", "notatka.txt"}));
        clickItem(window, "FileList", "notatka.txt");
        EXPECT_EQ(accessibleName(window, "PictureLabel"), "Picture:");
        EXPECT_EQ(accessibleName(window, "PaintPanel"), "(None)");
        EXPECT_FALSE(window.Child("PreviewButton")->isEnabled());
        window.ClickButton("Cancel");
    });
    const char* chosen = SelectImageFile("C:\\Dane");
    ASSERT_NE(chosen, nullptr);
    EXPECT_STREQ(chosen, "");
    EXPECT_EQ(responder.Count(), 1);
}

} // namespace
