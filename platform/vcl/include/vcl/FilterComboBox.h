#pragma once

// The file-type filter: the descriptions of a filter text "Description|mask|Description|mask"
// (several masks in one entry joined by ";"), the first selected at start. Linked to a file
// list, it sets the list's mask to the selected entry's.

#include <vcl/CustomComboBox.h>

#include <string>
#include <vector>

namespace vcl {

class TFileListBox;

class TFilterComboBox : public TCustomComboBox {
  public:
    explicit TFilterComboBox(TComponent* owner);
    ~TFilterComboBox() override;

    const std::string& Filter() const { return m_filter; }
    // An entry without a mask takes its description as the mask; an empty text gives
    // "All files (*.*)|*.*".
    void SetFilter(const std::string& filter);

    int Count() const { return static_cast<int>(m_entries.size()); }
    std::string Description(int index) const;
    void SetItemIndex(int index);
    // The selected entry's mask ("*.*" when there is none).
    std::string Mask() const;

    TFileListBox* FileList() const { return m_fileList; }
    void SetFileList(TFileListBox* list);

    // OnChange: raised when the user or the program chooses another entry.

  protected:
    void Picked(int index) override;

  private:
    struct Entry {
        std::string description, mask;
    };
    void changed();

    std::string m_filter;
    std::vector<Entry> m_entries;
    TFileListBox* m_fileList = nullptr;
};

} // namespace vcl
