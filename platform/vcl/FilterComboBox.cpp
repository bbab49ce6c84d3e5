#include <vcl/FilterComboBox.h>

#include "Internal.h"
#include <vcl/Application.h>
#include <vcl/FileListBox.h>

#include <QComboBox>

namespace vcl {

namespace {

QComboBox* makeCombo() {
    detail::ensureQtApplication();
    auto* box = new QComboBox();
    box->setEditable(false);
    return box;
}

} // namespace

TFilterComboBox::TFilterComboBox(TComponent* owner) : TWinControl(owner, makeCombo()) {
    SetColor(clWindow);
    SetFilter({});
    QObject::connect(static_cast<QComboBox*>(Widget()), &QComboBox::activated, SignalContext(),
                     [this](int) { changed(); });
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
    auto* box = static_cast<QComboBox*>(Widget());
    {
        const QSignalBlocker quiet(box);
        box->clear();
        for (const Entry& e : m_entries)
            box->addItem(detail::toQt(e.description));
        box->setCurrentIndex(m_entries.empty() ? -1 : 0);
    }
    changed();
}

std::string TFilterComboBox::Description(int index) const {
    return index >= 0 && index < Count() ? m_entries[index].description : std::string();
}

int TFilterComboBox::ItemIndex() const {
    return static_cast<QComboBox*>(Widget())->currentIndex();
}

void TFilterComboBox::SetItemIndex(int index) {
    if (index < 0 || index >= Count() || index == ItemIndex())
        return;
    static_cast<QComboBox*>(Widget())->setCurrentIndex(index);
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
