#include "vl_new32Main.h"

#include "vl_new32Glyphs.h"
#include "vl_new32Hosts.h"
#include "vl_new32Parms.h"
#include "vl_new32Texts.h"

#include <runtime/Cp1250.h>
#include <runtime/SysUtils.h>
#include <vcl/Application.h>
#include <vcl/Bitmap.h>
#include <vcl/Dialogs.h>
#include <vcl/MessageBox.h>
#include <windows/Windows.h>

#include <QImage>

using namespace vcl;
using rtl::operator""_w;

namespace VL_NEW32 {

std::string HostIniName;
std::string InfName;
std::string RtfName;
TForm1* Form1 = nullptr;

namespace {

const std::string kNoConnection = "Nie mogę połączyć się z serwerem.\nSprawdź adres FTP, modem, itp."_w;

QImage glyph(const unsigned char* data, std::size_t size) {
    TBitmap bmp;
    bmp.LoadFromMemory(data, size);
    return bmp.Image();
}

template <class T> T* make(TWinControl* parent, int left, int top, int width, int height) {
    T* c = new T(parent);
    c->SetParent(parent);
    c->SetBounds(left, top, width, height);
    return c;
}

TLabel* label(TWinControl* parent, const std::string& caption, int left, int top) {
    TLabel* l = new TLabel(parent);
    l->SetParent(parent);
    l->SetLeft(left);
    l->SetTop(top);
    l->SetCaption(caption);
    return l;
}

TSpeedButton* speedButton(TWinControl* parent, int left, int top, int width, int height,
                          const QImage& picture, const std::string& caption, const std::string& hint) {
    TSpeedButton* b = make<TSpeedButton>(parent, left, top, width, height);
    b->SetFlat(true);
    b->SetGlyph(picture);
    b->SetCaption(caption);
    b->SetHint(hint);
    return b;
}

} // namespace

TForm1::TForm1(TComponent* owner) : TForm(owner) {
    SetCaption("Wykryj Nowości, VELT"_w);
    SetBorderStyle(bsSingle);
    SetBorderIcons({biSystemMenu});
    SetPosition(poScreenCenter);
    SetClientWidth(446);
    SetClientHeight(323);
    Font().SetName("MS Sans Serif");
    Font().SetHeight(-11);
    SetShowHint(true);
    TBitmap icon;
    icon.LoadFromMemory(VL_NEW32Bmp, VL_NEW32BmpSize);
    SetIcon(icon);
    createControls();

    NMFTP1 = std::make_unique<net::TNMFTP>();
    NMFTP1->OnHostResolved = [this](void* s) { NMFTP1HostResolved(s); };
    NMFTP1->OnInvalidHost = [this](void* s, bool& h) { NMFTP1InvalidHost(s, h); };
    NMFTP1->OnConnectionFailed = [this](void* s) { NMFTP1ConnectionFailed(s); };
    NMFTP1->OnConnect = [this](void* s) { NMFTP1Connect(s); };
    NMFTP1->OnDisconnect = [this](void* s) { NMFTP1Disconnect(s); };
    NMFTP1->OnStatus = [this](void* s, const std::string& t) { NMFTP1Status(s, t); };
    NMFTP1->OnTransactionStart = [this](void* s) { NMFTP1TransactionStart(s); };
    NMFTP1->OnTransactionStop = [this](void* s) { NMFTP1TransactionStop(s); };
    NMFTP1->OnPacketRecvd = [this](void* s) { NMFTP1PacketRecvd(s); };
    NMFTP1->OnPacketSent = [this](void* s) { NMFTP1PacketSent(s); };
    NMFTP1->OnError = [this](void* s, std::uint16_t n, const std::string& m) { NMFTP1Error(s, n, m); };
    NMFTP1->OnSuccess = [this](void* s, net::TTransType t) { NMFTP1Success(s, t); };
    NMFTP1->OnFailure = [this](void* s, bool& h, net::TTransType t) { NMFTP1Failure(s, h, t); };
    NMFTP1->OnUnSupportedFunction = [this](void* s, net::TTransType t) { NMFTP1UnSupportedFunction(s, t); };

    OnCreate = [this](TObject* s) { FormCreate(s); };
    OnClose = [this](TObject* s, TCloseAction& a) { FormClose(s, a); };
    OnDestroy = [this](TObject* s) { FormDestroy(s); };
}

TForm1::~TForm1() {
    // The controls go before the client, so a late notification finds no status bar.
    StatusBar1 = nullptr;
    DestroyComponents();
    NMFTP1.reset();
}

void TForm1::createControls() {
    StatusBar1 = new TStatusBar(this);
    StatusBar1->SetParent(this);
    StatusBar1->SetAlign(alBottom);
    StatusBar1->SetHeight(19);
    StatusBar1->SetSimplePanel(true);

    PageControl1 = new TPageControl(this);
    PageControl1->SetParent(this);
    PageControl1->SetAlign(alClient);
    PageControl1->SetMultiLine(true);

    // Tab "Parametry": labels at the left of their edits, the proxy labels above theirs.
    TabSheetParametry = new TTabSheet(this);
    TabSheetParametry->SetPageControl(PageControl1);
    TabSheetParametry->SetCaption("Parametry");
    TWinControl* p = TabSheetParametry;
    LabelHost = label(p, "Host", 16, 20);
    EditHost = make<TEdit>(p, 104, 16, 220, 21);
    LabelHostPort = label(p, "Port", 16, 48);
    EditHostPort = make<TEdit>(p, 104, 44, 49, 21);
    LabelUser = label(p, "User ID", 16, 76);
    EditUser = make<TEdit>(p, 104, 72, 220, 21);
    EditUser->SetEnabled(false);
    LabelUserPassword = label(p, "Password", 16, 104);
    EditPassword = make<TEdit>(p, 104, 100, 220, 21);
    EditPassword->SetEnabled(false);
    EditPassword->SetPasswordChar('*');
    CheckBoxProxy = make<TCheckBox>(p, 16, 136, 97, 17);
    CheckBoxProxy->SetCaption("Użyj Proxy"_w);
    CheckBoxProxy->SetChecked(true);
    CheckBoxProxy->OnClick = [this](TObject* s) { CheckBoxProxyClick(s); };
    LabelProxy = label(p, "Proxy Server", 16, 164);
    EditProxy = make<TEdit>(p, 16, 180, 220, 21);
    LabelProxyPort = label(p, "Proxy Port", 256, 164);
    EditProxyPort = make<TEdit>(p, 256, 180, 49, 21);
    LabelRemoteFile = make<TLabel>(p, 16, 224, 80, 13);
    LabelRemoteFile->SetAutoSize(false);
    LabelRemoteFile->SetAlignment(taRightJustify);
    LabelRemoteFile->SetCaption("Zdalny plik");
    EditRemoteFile = make<TEdit>(p, 104, 220, 220, 21);
    LabelHost->SetFocusControl(EditHost);
    LabelHostPort->SetFocusControl(EditHostPort);
    LabelProxy->SetFocusControl(EditProxy);
    LabelProxyPort->SetFocusControl(EditProxyPort);
    int order = 0;
    for (TWinControl* c :
         std::initializer_list<TWinControl*>{EditHost, EditHostPort, EditUser, EditPassword, CheckBoxProxy,
                                             EditProxy, EditProxyPort, EditRemoteFile})
        c->SetTabOrder(order++);

    // Tab "Co nowego": the commands, the version texts with the verdict, the news text.
    TabSheetCoNowego = new TTabSheet(this);
    TabSheetCoNowego->SetPageControl(PageControl1);
    TabSheetCoNowego->SetCaption("Co nowego");
    TWinControl* n = TabSheetCoNowego;

    PanelSpeedButtons = make<TPanel>(n, 0, 0, 186, 60);
    PanelSpeedButtons->SetBevelInner(bvLowered);
    SpeedDownload = speedButton(PanelSpeedButtons, 4, 4, 178, 25, glyph(SprawdzBmp, SprawdzBmpSize),
                                "&Sprawdź"_w, "Sprawdź, czy należy zaktualizować Twój program"_w);
    SpeedDownload->OnClick = [this](TObject* s) { SpeedDownloadClick(s); };
    SpeedExit = speedButton(PanelSpeedButtons, 4, 31, 178, 25, glyph(KoniecBmp, KoniecBmpSize), "&Koniec",
                            "Zakończ działanie programu"_w);
    SpeedExit->OnClick = [this](TObject* s) { SpeedExitClick(s); };

    PanelProgram = make<TPanel>(n, 0, 60, 186, 214);
    PanelProgram->SetBevelInner(bvLowered);
    TextProgram = make<TLabel>(PanelProgram, 2, 2, 182, 104);
    TextProgram->SetAutoSize(false);
    TextProgram->SetWordWrap(true);
    TextProgram->SetAlignment(taCenter);
    TextProgram->SetCaption("Program");
    TextProgram->SetHint("Szczegóły dotyczące wersji i wdania programu"_w);
    Bevel3 = make<TBevel>(PanelProgram, 2, 53, 182, 2);
    Bevel3->SetShape(bsTopLine);
    Bevel2 = make<TBevel>(PanelProgram, 2, 104, 182, 2);
    Bevel2->SetShape(bsTopLine);
    SpeedProgramOld = speedButton(PanelProgram, 3, 4, 23, 22, glyph(ProgramOldBmp, ProgramOldBmpSize), "",
                                  "Powinieneś zaktualizować program"_w);
    SpeedProgramAkt = speedButton(PanelProgram, 3, 26, 23, 22, glyph(ProgramAktBmp, ProgramAktBmpSize), "",
                                  "Program nie wymaga aktualizacji");
    TextKomunikat = make<TStaticText>(PanelProgram, 2, 106, 182, 106);
    TextKomunikat->SetAutoSize(false);
    TextKomunikat->SetAlignment(taCenter);
    TextKomunikat->SetBorderStyle(sbsSunken);
    TextKomunikat->SetColor(clBtnFace);
    TextKomunikat->Font().SetName("MS Sans Serif");
    TextKomunikat->Font().SetHeight(-13);
    TextKomunikat->Font().SetColor(clWhite);
    TextKomunikat->SetCaption("TextKomunikat");
    TextKomunikat->SetHint("Komunikat, sugerujący sposob postępowania"_w);

    PanelRtf = make<TPanel>(n, 186, 0, 251, 274);
    PanelRtf->SetBevelInner(bvLowered);
    LabelRtf = label(PanelRtf, "Informacja o nowościach:"_w, 8, 6);
    RichEditRtf = make<TRichEdit>(PanelRtf, 4, 24, 243, 246);
    RichEditRtf->SetBorderStyle(bsNone);
    RichEditRtf->SetColor(clMenu);
    RichEditRtf->Font().SetName("MS Sans Serif");
    RichEditRtf->Font().SetHeight(-11);
    RichEditRtf->Font().SetCharset(EASTEUROPE_CHARSET);
    RichEditRtf->Font().SetColor(clActiveCaption);
    RichEditRtf->SetScrollBars(ssVertical);
    RichEditRtf->SetTabStop(false);
    RichEditRtf->SetHint("Dodatkowe informacje o aktualizacji na serwerze");
    ButtonTest = make<TButton>(PanelRtf, 168, 244, 75, 25);
    ButtonTest->SetCaption("VELT Test");
    ButtonTest->OnClick = [this](TObject* s) { ButtonTestClick(s); };
}

void TForm1::FormCreate(TObject*) {
    PageControl1->SetActivePage(TabSheetCoNowego);
    SettingsIni = std::make_unique<TIniFile>();
    FormSetFTPParms();
    HostIni = std::make_unique<TIniFile>();
    HostProgram = std::make_unique<TProgram>();
    NewsProgram = std::make_unique<TProgram>();
    InfFile = std::make_unique<TInfFile>();
    InfFile->Kind = 1;
    RtfFile = std::make_unique<TRtfFile>();
    RtfFile->Kind = 2;

    const std::string programFolder = ProgramFolder();
    HostIni->MyFile->SetPath(programFolder, HostIniName);
    std::string productFolder = HostIni->ReadString("Program", "Program");
    if (productFolder.empty())
        productFolder = programFolder;
    HostIni->MyFile->SetPath(productFolder, HostIniName);
    InfFile->Remote->MyFile->SetPath("pub/news/", InfName);
    InfFile->Local->MyFile->SetPath(productFolder, InfName);
    RtfFile->Remote->MyFile->SetPath("pub/news/", RtfName);
    RtfFile->Local->MyFile->SetPath(productFolder, RtfName);

    TextProgram->SetCaption(HostProgramCaption(HostProgram->ReadInfo(*HostIni)));
    TextKomunikat->SetCaption("");
    TextKomunikat->SetBorderStyle(sbsNone);
    Connected = false;
    SpeedProgramAkt->Hide();
    SpeedProgramAkt->SetLeft(160);
    SpeedProgramAkt->SetTop(4);
    SpeedProgramOld->Hide();
    SpeedProgramOld->SetLeft(160);
    SpeedProgramOld->SetTop(4);
}

void TForm1::FormSetFTPParms() {
    HostIniName.clear();
    InfName.clear();
    RtfName.clear();
    TFTPParms parms;
    EditUser->SetText(kDefaultUser);
    EditPassword->SetText(kDefaultPassword);
    EditHost->SetText(parms.Host);
    EditHostPort->SetText(parms.HostPort);
    CheckBoxProxy->SetChecked(false);
    EditProxy->SetText("");
    EditProxyPort->SetText("");
    EditRemoteFile->SetText("");
    ButtonTest->Hide();

    const std::string programFolder = ProgramFolder();
    const THostProduct* product = DetectHostProduct(*SettingsIni, programFolder);
    if (!product) {
        Application->MessageBox("W katalogu programu nie ma odpowiedniego pliku INI\n"
                                "Nie mogę sprawdzić, czy należy zaktualizować program"_w,
                                "Błąd"_w, win::MB_OK);
        return;
    }
    HostIniName = product->IniName;
    InfName = product->InfName;
    RtfName = product->RtfName;
    SetCaption(std::string(product->Caption));
    EditRemoteFile->SetText("pub/news/" + RtfName);
    SettingsIni->MyFile->SetPath(programFolder, kSettingsName);
    if (!win::FileExists(SettingsIni->MyFile->FileName))
        return;
    ReadFTPParms(*SettingsIni, parms);
    EditHost->SetText(parms.Host);
    EditHostPort->SetText(parms.HostPort);
    CheckBoxProxy->SetChecked(parms.UseProxy);
    if (CheckBoxProxy->Checked()) {
        EditProxy->SetText(parms.Proxy);
        EditProxyPort->SetText(parms.ProxyPort);
    }
    if (parms.Velt)
        ButtonTest->Show();
}

void TForm1::FormSaveFTPParms() {
    TFTPParms parms;
    parms.Host = EditHost->Text();
    parms.HostPort = EditHostPort->Text();
    parms.UseProxy = CheckBoxProxy->Checked();
    parms.Proxy = EditProxy->Text();
    parms.ProxyPort = EditProxyPort->Text();
    // With no product found the settings object names no file: nothing is written anywhere.
    SaveFTPParms(*SettingsIni, parms);
}

void TForm1::FormClose(TObject*, TCloseAction& Action) {
    if (m_checking) {
        // The running step ends first; the check then closes the window.
        m_closePending = true;
        Action = caNone;
        return;
    }
    if (SettingsIni)
        FormSaveFTPParms();
}

void TForm1::FormDestroy(TObject*) {
    NewsProgram.reset();
    HostProgram.reset();
    HostIni.reset();
    SettingsIni.reset();
    InfFile.reset();
    RtfFile.reset();
}

void TForm1::SpeedDownloadClick(TObject*) {
    // A click while a check runs (its waits keep the window answering) is ignored.
    if (m_checking)
        return;
    m_checking = true;
    struct Done {
        TForm1* form;
        ~Done() {
            form->m_checking = false;
            if (form->m_closePending) {
                form->m_closePending = false;
                form->Close();
            }
        }
    } done{this};

    if (!Connected) {
        FormTryToConnect();
        if (!Connected)
            return;
    }
    NMFTP1->Mode(net::tmImage);
    CurrentKind = InfFile->Kind;
    NMFTP1->Download(InfFile->Remote->MyFile->FileName, InfFile->Local->MyFile->FileName);
    if (CurrentKind == 1)
        FormShowINF();
    CurrentKind = RtfFile->Kind;
    NMFTP1->Download(RtfFile->Remote->MyFile->FileName, RtfFile->Local->MyFile->FileName);
    if (CurrentKind == 2)
        FormShowRTF();
    setStatus("Zakończono pobieranie"_w);
}

void TForm1::FormTryToConnect() {
    if (CheckBoxProxy->Checked()) {
        NMFTP1->SetProxy(EditProxy->Text());
        NMFTP1->SetProxyPort(rtl::StrToInt(EditProxyPort->Text()));
    } else {
        NMFTP1->SetProxy("");
    }
    NMFTP1->SetHost(EditHost->Text());
    NMFTP1->SetPort(rtl::StrToInt(EditHostPort->Text()));
    NMFTP1->SetTimeOut(5000);
    NMFTP1->SetUserID(EditUser->Text());
    NMFTP1->SetPassword(EditPassword->Text());
    NMFTP1->SetReportLevel(16);
    FormSetCursors(crHourGlass);
    const bool viaProxy = CheckBoxProxy->Checked() && !EditProxy->Text().empty();
    const int port = viaProxy ? NMFTP1->ProxyPort() : NMFTP1->Port();
    bool failed = false;
    if (port < 1 || port > 65535) {
        // A port the network cannot have fails as a refused connection does.
        NMFTP1ConnectionFailed(NMFTP1.get());
        failed = true;
    } else {
        try {
            NMFTP1->Connect();
        } catch (...) {
            failed = true;
        }
    }
    if (failed)
        errorBox(kNoConnection);
    NMFTP1->SetReportLevel(1);
    FormSetCursors(crDefault);
    Repaint();
}

void TForm1::FormShowINF() {
    const std::string a = HostProgram->ReadInfo(*HostIni);
    const std::string b = NewsProgram->ReadInfo(*InfFile->Local);
    TextProgram->SetCaption(ProgramsCaption(a, b));
    TextKomunikat->SetCaption("");
    if (NewsProgram->Date > HostProgram->Date) {
        TextKomunikat->SetColor(clInfoBk);
        TextKomunikat->Font().SetColor(clWindowText);
        TextKomunikat->Font().SetName("Arial");
        TextKomunikat->Font().SetSize(10);
        TextKomunikat->SetBorderStyle(sbsNone);
        TextKomunikat->SetCaption(UpdateAdvice());
        SpeedProgramOld->Show();
    } else {
        TextKomunikat->SetColor(clBtnFace);
        TextKomunikat->Font().SetColor(clWindowText);
        TextKomunikat->Font().SetName("Arial");
        TextKomunikat->Font().SetStyle({fsUnderline});
        TextKomunikat->Font().SetSize(10);
        TextKomunikat->SetBorderStyle(sbsNone);
        TextKomunikat->SetCaption(NoUpdateNeeded());
        SpeedProgramAkt->Show();
    }
}

void TForm1::FormShowRTF() {
    RichEditRtf->Lines().LoadFromFile(RtfFile->Local->MyFile->FileName);
    RichEditRtf->Lines().Insert(0, " ");
    RichEditRtf->Lines().Delete(0);
    RichEditRtf->SetFocus();
}

void TForm1::ButtonTestClick(TObject*) {
    setStatus("Pobieranie zakończone"_w);
    FormShowRTF();
    FormShowINF();
}

void TForm1::SpeedExitClick(TObject*) {
    Close();
}

void TForm1::CheckBoxProxyClick(TObject*) {
    const bool on = CheckBoxProxy->Checked();
    EditProxy->SetEnabled(on);
    EditProxyPort->SetEnabled(on);
}

void TForm1::FormSetCursors(TCursor cursor) {
    PanelProgram->SetCursor(cursor);
    PanelSpeedButtons->SetCursor(cursor);
    RichEditRtf->SetCursor(cursor);
}

void TForm1::setStatus(const std::string& text) {
    if (StatusBar1)
        StatusBar1->SetSimpleText(text);
}

void TForm1::errorBox(const std::string& text) {
    Application->MessageBox(text, "Błąd"_w, win::MB_OK);
}

void TForm1::NMFTP1HostResolved(void*) {
    setStatus("Serwer znaleziony");
}

void TForm1::NMFTP1InvalidHost(void*, bool&) {
    errorBox("Nie znaleziono serwera.\nSprawdź adres FTP, modem, itp."_w);
}

void TForm1::NMFTP1ConnectionFailed(void*) {
    errorBox(kNoConnection);
}

void TForm1::NMFTP1Connect(void*) {
    setStatus("Uzyskano połączenie z serwerem"_w);
    Connected = true;
}

void TForm1::NMFTP1Disconnect(void*) {
    Connected = false;
    setStatus("Przerwano połączenie");
}

void TForm1::NMFTP1Status(void*, const std::string& Status) {
    setStatus(Status);
}

void TForm1::NMFTP1TransactionStart(void*) {
    setStatus("Rozpoczęto przesyłanie danych"_w);
}

void TForm1::NMFTP1TransactionStop(void*) {
    setStatus("Zakończono przesyłanie danych"_w);
}

void TForm1::NMFTP1PacketRecvd(void*) {
    setStatus(ProgressText(NMFTP1->BytesRecvd(), NMFTP1->BytesTotal()));
}

void TForm1::NMFTP1PacketSent(void*) {
    setStatus(ProgressText(NMFTP1->BytesSent(), NMFTP1->BytesTotal()));
}

void TForm1::NMFTP1Error(void*, std::uint16_t Errno, const std::string& Errmsg) {
    errorBox(ErrorBoxText(Errno, Errmsg));
}

void TForm1::NMFTP1Success(void*, net::TTransType Trans_Type) {
    if (auto text = OperationText(Trans_Type, TOutcome::Success))
        setStatus(*text);
    if (Trans_Type != net::ttDownload)
        return;
    if (CurrentKind == 2)
        FormShowRTF();
    if (CurrentKind == 1)
        FormShowINF();
}

void TForm1::NMFTP1Failure(void*, bool&, net::TTransType Trans_Type) {
    if (auto text = OperationText(Trans_Type, TOutcome::Failure))
        setStatus(*text);
}

void TForm1::NMFTP1UnSupportedFunction(void*, net::TTransType Trans_Type) {
    if (auto text = OperationText(Trans_Type, TOutcome::Unsupported))
        ShowMessage(*text);
}

} // namespace VL_NEW32
