#include <vcl/FilterComboBox.h>

#include "Internal.h"
#include <vcl/Application.h>
#include <vcl/FileListBox.h>

#include <QWidget>

namespace vcl {

TFilterComboBox::TFilterComboBox(TComponent* owner) : TCustomComboBox(owner) {
    SetFilter({});
}

void TFilterComboBox::Picked(int) {
    changed();
}

TFilterComboBox::~TFilterComboBox() = default;

void TFilterComboBox::SetFilter(const std::string& filter) {
    m_filter = filter;
    const std::string text = filter.empty() ? "All files (*.*)|*.*" : filter;
    m_entries.clear();
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t bar = text.find('|', start);
        parts.push_back(text.substr(start, bar == std::string::npos ? std::string::npos : bar - start));
        if (bar == std::string::npos)
            break;
        start = bar + 1;
    }
    for (std::size_t i = 0; i < parts.size(); i += 2)
        m_entries.push_back({parts[i], i + 1 < parts.size() ? parts[i + 1] : parts[i]});
    std::vector<std::string> descriptions;
    for (const Entry& e : m_entries)
        descriptions.push_back(e.description);
    SetEntries(descriptions, m_entries.empty() ? -1 : 0);
    changed();
}

std::string TFilterComboBox::Description(int index) const {
    return index >= 0 && index < Count() ? m_entries[index].description : std::string();
}

void TFilterComboBox::SetItemIndex(int index) {
    if (index < 0 || index >= Count() || index == ItemIndex())
        return;
    ShowEntry(index);
    changed();
}

std::string TFilterComboBox::Mask() const {
    const int index = ItemIndex();
    return index >= 0 && index < Count() && !m_entries[index].mask.empty() ? m_entries[index].mask : "*.*";
}

void TFilterComboBox::SetFileList(TFileListBox* list) {
    m_fileList = list;
    if (list) {
        // The link ends with the file list, whichever goes first.
        QObject::connect(list->Widget(), &QObject::destroyed, SignalContext(), [this, list] {
            if (m_fileList == list)
                m_fileList = nullptr;
        });
        list->SetMask(Mask());
    }
}

void TFilterComboBox::changed() {
    if (Destroying())
        return;
    if (m_fileList)
        m_fileList->SetMask(Mask());
    Fire(OnChange, this);
}

} // namespace vcl
