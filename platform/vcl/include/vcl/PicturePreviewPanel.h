#pragma once

// A picture preview: a label with the picture's size (" (%dx%d)", or "Picture:" when there is
// none), a "Preview" button and a sunken area showing the picture scaled to fit, proportions
// kept, centred ("(None)" when empty). "Preview" opens the picture in a window of its own.

#include <vcl/Panel.h>

#include <string>

namespace vcl {

class TButton;
class TForm;
class TImage;
class TLabel;

class TPicturePreviewPanel : public TPanel {
  public:
    explicit TPicturePreviewPanel(TComponent* owner);

    // Shows the picture `fileName` (Windows form) holds; a missing file, one of a kind the
    // toolkit's picture cannot load, or a damaged one shows no picture. An empty name clears.
    void ShowFile(const std::string& fileName);
    // True while a picture is shown.
    bool HasPicture() const;
    const std::string& FileName() const { return m_fileName; }

    // Opens the picture in a modal window of its own, sized to it within the screen.
    void ShowPreview();
    // The preview window while it is open, else nullptr.
    TForm* PreviewForm() const { return m_previewForm; }

    TLabel* PictureLabel = nullptr;
    TButton* PreviewButton = nullptr;
    TPanel* PaintPanel = nullptr;
    TImage* Image = nullptr;

    void PreviewButtonClick(TObject* Sender);

  private:
    void clear();

    std::string m_fileName;
    TForm* m_previewForm = nullptr;
};

} // namespace vcl
