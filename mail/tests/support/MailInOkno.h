#pragma once

// Fixture of the in-process receiving-window tests: a private network with a real dovecot on
// port 110, an incoming folder in a temporary folder, VL_PAK32.INI beside the test program's
// private copy, and one run of the window on the offscreen platform, with what the user sees.

#include "Funkcje_ERR.h"
#include "MailInPoczta.h"
#include "Pop3Server.h"
#include "PrivateProgramFolder.h"
#include "TestSupport.h"

#include <runtime/Cp1250.h>
#include <vcl/Application.h>
#include <vcl/testing/MessageBoxResponder.h>
#include <vcl/testing/UserInput.h>
#include <windows/Windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <sys/stat.h>

namespace mailin {

// What one run left on the screen and in the result record.
struct Wynik {
    std::vector<std::string> log;                // LB1, Windows-1250
    std::vector<std::vector<std::string>> lista; // LV1 rows: caption, then the sub-items
    int gaugeMax = 0;
    int gaugePostep = 0;
    int logGora = 0; // LB1's top line
    bool przyciskWidoczny = false;
    std::vector<vcl::testing::MessageBoxRecord> okna; // message boxes shown
    std::string nr, msg;                              // section Error of VL_PAK32.INI in the program folder
};

// The program folder of this test program (a private copy of it; see PrivateProgramFolder).
inline vlpak32test::PrivateProgramFolder*& FolderProgramu() {
    static vlpak32test::PrivateProgramFolder* folder = nullptr;
    return folder;
}

// The main of the receiving-window test programs: a private program folder (VL_PAK32.INI lives
// beside the program), the private network before Qt starts a thread, then the tests.
inline int UruchomTesty(int argc, char** argv) {
    vlpak32test::PrivateProgramFolder folder(argc, argv);
    FolderProgramu() = &folder;
    if (vltest::RunningAsRoot())
        vltest::EnterPrivateNetwork();
    ::testing::InitGoogleTest(&argc, argv);
    if (!std::getenv("QT_QPA_PLATFORM"))
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    vcl::Application->Initialize(argc, argv);
    const int wynik = RUN_ALL_TESTS();
    vcl::Application->ShutdownForTesting();
    return wynik;
}

class OknoOdbioruTest : public ::testing::Test {
  protected:
    void SetUp() override {
        VLTEST_PRIVATE_NETWORK();
        serwer = std::make_unique<vltest::Pop3Server>();
        ASSERT_TRUE(serwer->Started()) << serwer->Log();
        trn = dir.File("TRN");
        ASSERT_EQ(::mkdir(trn.c_str(), 0755), 0);
        ustawienia = UstawieniaOdbioru(*serwer, trn);
    }

    // Writes VL_PAK32.INI beside the program, creates the window as the program start does
    // (the shared state as a new process has it) and shows it: its first activation makes the
    // run. Gives what the run left on the screen and in the record.
    template <class Okno> Wynik Uruchom(std::unique_ptr<Okno>& f) {
        vltest::WriteFile(FolderProgramu()->IniFile(), PlikINI(ustawienia));
        VL_PAK32::ZerujStan();
        vcl::testing::MessageBoxResponder okna(win::IDOK);
        f = std::make_unique<Okno>(nullptr);
        f->AfterConstruction();
        EXPECT_TRUE(vcl::testing::ShowAndWait(*f, 60000));
        EXPECT_TRUE(vcl::testing::WaitFor([&] { return f->ButZamknij->Visible(); }, 60000));
        Wynik w;
        for (int i = 0; i < f->LB1->Items().Count(); ++i)
            w.log.push_back(f->LB1->Items()[i]);
        for (int i = 0; i < f->LV1->Items().Count(); ++i) {
            std::vector<std::string> wiersz{f->LV1->Items()[i]->Caption()};
            for (int k = 0; k < f->LV1->Items()[i]->SubItems().Count(); ++k)
                wiersz.push_back(f->LV1->Items()[i]->SubItems()[k]);
            w.lista.push_back(wiersz);
        }
        w.gaugeMax = f->Gauge1->MaxValue();
        w.gaugePostep = f->Gauge1->Progress();
        w.logGora = f->LB1->TopIndex();
        w.przyciskWidoczny = f->ButZamknij->Visible();
        w.okna = okna.Boxes();
        const std::string ini = vltest::ReadFile(FolderProgramu()->IniFile());
        w.nr = WartoscINI(ini, "Error", "Nr");
        w.msg = WartoscINI(ini, "Error", "Msg");
        return w;
    }

    // The sessions the server has finished once the run's connection is gone.
    std::vector<vltest::Pop3Session> Sesje(std::size_t ile = 1) {
        EXPECT_TRUE(serwer->WaitForSessions(ile, 10000)) << serwer->Log();
        return serwer->Sessions();
    }

    std::vector<std::string> Pliki() const { return vltest::ListFolder(trn); }
    std::string Plik(const std::string& nazwa) const { return vltest::ReadFile(trn + "/" + nazwa); }

    vltest::TempDir dir{"mailin"};
    std::string trn;
    std::unique_ptr<vltest::Pop3Server> serwer;
    std::map<std::string, std::string> ustawienia; // section Eksport_TRN, Windows-1250
};

// The last four lines of the log are in view (the first line is the fourth from the end, or as
// near as the list lets the last line stay at the bottom).
inline bool OstatnieCzteryWidoczne(const Wynik& w) {
    const int n = static_cast<int>(w.log.size());
    return w.logGora <= std::max(0, n - 4) && w.logGora >= std::max(0, n - 5);
}

// The log lines as the window writes them.
inline std::string L(const char* utf8) {
    return rtl::utf8ToCp1250(utf8);
}

// The whole log of a run that saved attachments.
inline const std::vector<std::string> kKoniecPoZapisie = {L("Łączenie się z serwerem, proszę czekać ..."),
                                                          L("Sprawdzanie czy są nowe wiadomości ..."),
                                                          L("Pobieranie poczty."),
                                                          L("Zapisywanie załączników."),
                                                          L("Rozłączono z serwerem."),
                                                          L("Gotowe ...."),
                                                          L("Naciśnij klawisz \"Zamknij\".")};

} // namespace mailin
