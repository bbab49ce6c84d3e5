#pragma once

// The update detector's one window: the settings tab "Parametry" and the tab "Co nowego" with
// the two commands, the version texts, the verdict and the news text; the FTP client; the
// check itself and the reports of every stage of it.

#include "vl_fls32.h"
#include "vl_new32Program.h"

#include <net/IdAntiFreeze.h>
#include <net/NMFTP.h>
#include <vcl/Bevel.h>
#include <vcl/Button.h>
#include <vcl/CheckBox.h>
#include <vcl/Edit.h>
#include <vcl/Form.h>
#include <vcl/Label.h>
#include <vcl/PageControl.h>
#include <vcl/Panel.h>
#include <vcl/RichEdit.h>
#include <vcl/SpeedButton.h>
#include <vcl/StaticText.h>
#include <vcl/StatusBar.h>
#include <vcl/TabSheet.h>

#include <cstdint>
#include <memory>
#include <string>

namespace VL_NEW32 {

// The detected product's INI file and news files; empty when no product was found.
extern std::string HostIniName;
extern std::string InfName;
extern std::string RtfName;

class TForm1 : public vcl::TForm {
  public:
    explicit TForm1(vcl::TComponent* owner);
    ~TForm1() override;

    vcl::TPageControl* PageControl1;
    vcl::TTabSheet* TabSheetParametry;
    vcl::TLabel* LabelHost;
    vcl::TEdit* EditHost;
    vcl::TLabel* LabelHostPort;
    vcl::TEdit* EditHostPort;
    vcl::TLabel* LabelUser;
    vcl::TEdit* EditUser;
    vcl::TLabel* LabelUserPassword;
    vcl::TEdit* EditPassword;
    vcl::TCheckBox* CheckBoxProxy;
    vcl::TLabel* LabelProxy;
    vcl::TEdit* EditProxy;
    vcl::TLabel* LabelProxyPort;
    vcl::TEdit* EditProxyPort;
    vcl::TLabel* LabelRemoteFile;
    vcl::TEdit* EditRemoteFile;
    vcl::TTabSheet* TabSheetCoNowego;
    vcl::TPanel* PanelSpeedButtons;
    vcl::TSpeedButton* SpeedDownload;
    vcl::TSpeedButton* SpeedExit;
    vcl::TPanel* PanelProgram;
    vcl::TLabel* TextProgram;
    vcl::TBevel* Bevel3;
    vcl::TBevel* Bevel2;
    vcl::TSpeedButton* SpeedProgramOld;
    vcl::TSpeedButton* SpeedProgramAkt;
    vcl::TStaticText* TextKomunikat;
    vcl::TPanel* PanelRtf;
    vcl::TLabel* LabelRtf;
    vcl::TRichEdit* RichEditRtf;
    vcl::TButton* ButtonTest;
    vcl::TStatusBar* StatusBar1;
    std::unique_ptr<net::TNMFTP> NMFTP1;

    // Start-up and closing.
    void FormCreate(vcl::TObject* Sender);
    void FormSetFTPParms();
    void FormSaveFTPParms();
    void FormClose(vcl::TObject* Sender, vcl::TCloseAction& Action);
    void FormDestroy(vcl::TObject* Sender);

    // The check.
    void SpeedDownloadClick(vcl::TObject* Sender);
    void FormTryToConnect();
    void FormShowINF();
    void FormShowRTF();
    void ButtonTestClick(vcl::TObject* Sender);
    void SpeedExitClick(vcl::TObject* Sender);
    void CheckBoxProxyClick(vcl::TObject* Sender);
    void FormSetCursors(vcl::TCursor cursor);

    // The FTP client's notifications.
    void NMFTP1HostResolved(void* Sender);
    void NMFTP1InvalidHost(void* Sender, bool& Handled);
    void NMFTP1ConnectionFailed(void* Sender);
    void NMFTP1Connect(void* Sender);
    void NMFTP1Disconnect(void* Sender);
    void NMFTP1Status(void* Sender, const std::string& Status);
    void NMFTP1TransactionStart(void* Sender);
    void NMFTP1TransactionStop(void* Sender);
    void NMFTP1PacketRecvd(void* Sender);
    void NMFTP1PacketSent(void* Sender);
    void NMFTP1Error(void* Sender, std::uint16_t Errno, const std::string& Errmsg);
    void NMFTP1Success(void* Sender, net::TTransType Trans_Type);
    void NMFTP1Failure(void* Sender, bool& Handled, net::TTransType Trans_Type);
    void NMFTP1UnSupportedFunction(void* Sender, net::TTransType Trans_Type);

    std::unique_ptr<TProgram> HostProgram;
    std::unique_ptr<TProgram> NewsProgram;
    std::unique_ptr<TIniFile> SettingsIni;
    std::unique_ptr<TIniFile> HostIni;
    std::unique_ptr<TInfFile> InfFile;
    std::unique_ptr<TRtfFile> RtfFile;
    bool Connected = false;
    std::uint8_t CurrentKind = 0;

  private:
    void createControls();
    void setStatus(const std::string& text);
    void errorBox(const std::string& text);

    // Keeps the window painted while the client waits for the network.
    net::TIdAntiFreeze m_antiFreeze;
    // A check in progress: a second click is ignored, and closing waits for it to end.
    bool m_checking = false;
    bool m_closePending = false;
};

extern TForm1* Form1;

} // namespace VL_NEW32
