#pragma once

// The progress window of a zip or unzip job: a bar over the job's bytes and a text above it.
// It stays open after the job, on top of other windows, until Esc destroys it; its close box
// only hides it.

#include <vcl/Form.h>
#include <vcl/ProgressBar.h>
#include <vcl/StaticText.h>

#include <cstdint>
#include <string>

namespace VL_LIB32 {

class TVELTZipWindow : public vcl::TForm {
  public:
    explicit TVELTZipWindow(vcl::TComponent* owner);
    ~TVELTZipWindow() override;

    // A new window for a job: created without an owner, primed by FormCreate, captioned,
    // shown and painted. Null when the toolkit cannot show windows.
    static TVELTZipWindow* Open(const std::string& caption);

    // The work in progress: the bar at `bytesDone`, the text replaced; both painted at once.
    void ShowProgress(std::int32_t bytesDone, const std::string& text);
    // The end of the job.
    void ShowEnd(std::int32_t bytesDone, const std::string& text);

    vcl::TProgressBar* ProgressBar1 = nullptr;
    vcl::TStaticText* StaticText1 = nullptr;

    void FormCreate(vcl::TObject* Sender);
    void FormKeyDown(vcl::TObject* Sender, vcl::WORD& Key, vcl::TShiftState Shift);

  private:
    void setBar(std::int32_t position);

    int m_barShift = 0; // totals of 2 GiB and more are shown halved to fit the bar's range
};

} // namespace VL_LIB32
