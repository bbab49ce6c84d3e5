#include <vcl/PicturePreviewPanel.h>

#include <vcl/Button.h>
#include <vcl/FileDialogTexts.h>
#include <vcl/Form.h>
#include <vcl/Image.h>
#include <vcl/Label.h>

#include <windows/Windows.h>

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace vcl {

namespace Texts = FileDialogTexts;

TPicturePreviewPanel::TPicturePreviewPanel(TComponent* owner) : TPanel(owner) {
    SetBevelOuter(bvNone);
    SetBounds(Left(), Top(), 144, 208);

    PictureLabel = new TLabel(this);
    PictureLabel->SetName("PictureLabel");
    PictureLabel->SetShowAccelChar(false);
    PictureLabel->SetBounds(4, 4, 136, 13);

    PaintPanel = new TPanel(this);
    PaintPanel->SetName("PaintPanel");
    PaintPanel->SetBevelOuter(bvLowered);
    PaintPanel->SetBounds(4, 20, 136, 150);
    Image = new TImage(PaintPanel);
    Image->SetName("Image");
    Image->SetParent(PaintPanel);
    Image->SetAlign(alClient);
    Image->SetStretch(true);
    Image->SetProportional(true);
    Image->SetCenter(true);

    PreviewButton = new TButton(this);
    PreviewButton->SetName("PreviewButton");
    PreviewButton->SetCaption(Texts::Preview);
    PreviewButton->SetBounds(4, 176, 136, 23);
    PreviewButton->OnClick = [this](TObject* s) { PreviewButtonClick(s); };
    clear();
}

bool TPicturePreviewPanel::HasPicture() const {
    return Image->Picture().Graphic() != nullptr;
}

void TPicturePreviewPanel::clear() {
    m_fileName.clear();
    Image->Picture().Assign(nullptr);
    PictureLabel->SetCaption(Texts::PictureLabel);
    PaintPanel->SetCaption(Texts::NoPicture);
    PreviewButton->SetEnabled(false);
}

void TPicturePreviewPanel::ShowFile(const std::string& fileName) {
    TPicture picture;
    bool loaded = false;
    if (!fileName.empty() && win::FileExists(fileName)) {
        try {
            picture.LoadFromFile(fileName);
            loaded = picture.Graphic() && !picture.Graphic()->Empty();
        } catch (...) {
            // Not a picture the toolkit can show (another kind, damaged, unreadable).
        }
    }
    if (!loaded) {
        clear();
        return;
    }
    m_fileName = fileName;
    Image->SetPicture(picture);
    char size[64];
    std::snprintf(size, sizeof size, Texts::PictureSize, picture.Width(), picture.Height());
    PictureLabel->SetCaption(size);
    PaintPanel->SetCaption("");
    PreviewButton->SetEnabled(true);
}

void TPicturePreviewPanel::PreviewButtonClick(TObject*) {
    ShowPreview();
}

void TPicturePreviewPanel::ShowPreview() {
    if (!HasPicture() || m_previewForm)
        return;
    auto form = std::make_unique<TForm>(nullptr);
    form->SetName("PreviewForm");
    form->SetCaption(Texts::Preview);
    form->SetPosition(poScreenCenter);
    // The picture at its size, as far as three quarters of the screen allow; the window may
    // be resized and the picture follows, proportions kept.
    int width = Image->Picture().Width(), height = Image->Picture().Height();
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QSize room = screen->availableGeometry().size() * 3 / 4;
        width = std::min(width, room.width());
        height = std::min(height, room.height());
    }
    form->SetClientWidth(std::max(width, 160));
    form->SetClientHeight(std::max(height, 120));
    auto* image = new TImage(form.get());
    image->SetName("PreviewImage");
    image->SetAlign(alClient);
    image->SetStretch(true);
    image->SetProportional(true);
    image->SetCenter(true);
    image->SetPicture(Image->Picture());
    form->SetKeyPreview(true);
    TForm* window = form.get();
    form->OnKeyDown = [window](TObject*, WORD& key, TShiftState) {
        if (key == VK_ESCAPE) {
            key = 0;
            window->Close();
        }
    };
    form->AfterConstruction();
    m_previewForm = window;
    window->ShowModal();
    m_previewForm = nullptr;
}

} // namespace vcl
