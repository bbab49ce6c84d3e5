#include <vcl/FileListBox.h>

#include <vcl/Application.h>

#include <QEvent>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QListWidget>
#include <QSignalBlocker>

#include <runtime/SysUtils.h>
#include <windows/Windows.h>

#include <algorithm>
#include <unordered_set>
#include <vector>

namespace vcl {

namespace {

bool endsWithSeparator(const std::string& folder) {
    if (folder.empty())
        return false;
    char c = folder.back();
    return c == '\\' || c == '/' || c == ':';
}

// "C:\dir\" -> "C:\dir"; a drive root or "\" keeps its separator.
std::string withoutTrailingSeparator(std::string folder) {
    while (folder.size() > 1 && (folder.back() == '\\' || folder.back() == '/') &&
           !(folder.size() == 3 && folder[1] == ':'))
        folder.pop_back();
    return folder;
}

std::vector<std::string> splitMasks(const std::string& mask) {
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start <= mask.size()) {
        std::size_t end = mask.find(';', start);
        if (end == std::string::npos)
            end = mask.size();
        std::string one = rtl::Trim(std::string_view(mask).substr(start, end - start));
        if (!one.empty())
            out.push_back(one);
        start = end + 1;
    }
    return out;
}

// The search (given searchAttributes) has already left out the folders, volume labels, hidden and
// system entries the set does not hold; what it yields of those is wanted. Plain files remain.
bool wanted(int attr, TFileType type) {
    if (attr & (win::faDirectory | win::faVolumeID | win::faHidden | win::faSysFile))
        return true;
    return type.Contains(ftNormal) || (type.Contains(ftReadOnly) && (attr & win::faReadOnly)) ||
           (type.Contains(ftArchive) && (attr & win::faArchive));
}

int searchAttributes(TFileType type) {
    int attr = 0;
    if (type.Contains(ftReadOnly))
        attr |= win::faReadOnly;
    if (type.Contains(ftHidden))
        attr |= win::faHidden;
    if (type.Contains(ftSystem))
        attr |= win::faSysFile;
    if (type.Contains(ftVolumeID))
        attr |= win::faVolumeID;
    if (type.Contains(ftDirectory))
        attr |= win::faDirectory;
    if (type.Contains(ftArchive))
        attr |= win::faArchive;
    return attr;
}

} // namespace

// Lists the folder again the first time the list is shown, as the platform reads the names
// when the list's window is made.
class FirstShowWatcher : public QObject {
  public:
    FirstShowWatcher(QObject* parent, TFileListBox* list) : QObject(parent), m_list(list) {}
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Show && !m_shown) {
            m_shown = true;
            m_list->Update();
        }
        return false;
    }

  private:
    TFileListBox* m_list;
    bool m_shown = false;
};

TFileListBox::TFileListBox(TComponent* owner) : TListBox(owner) {
    SetSorted(true);
    m_directory = withoutTrailingSeparator(win::GetCurrentDirectory());
    fill(m_directory);
    Widget()->installEventFilter(new FirstShowWatcher(SignalContext(), this));
}

bool TFileListBox::SetDirectory(const std::string& folder) {
    std::string dir = withoutTrailingSeparator(folder);
    if (!fill(dir))
        return false;
    m_directory = dir;
    return true;
}

void TFileListBox::SetMask(const std::string& mask) {
    m_mask = mask;
    Update();
}

void TFileListBox::SetFileType(TFileType type) {
    m_fileType = type;
    Update();
}

void TFileListBox::Update() {
    fill(m_directory);
}

void TFileListBox::SetShowGlyphs(bool value) {
    m_showGlyphs = value;
    Update();
}

std::string TFileListBox::FileName() const {
    int index = ItemIndex();
    if (index < 0)
        return "";
    return m_directory + (endsWithSeparator(m_directory) ? "" : "\\") + Items()[index];
}

bool TFileListBox::fill(const std::string& folder) {
    if (!win::DirectoryExists(folder))
        return false;
    std::vector<std::string> names;
    std::unordered_set<std::string> seen; // an entry two masks match is listed once
    const std::string prefix = folder + (endsWithSeparator(folder) ? "" : "\\");
    for (const std::string& mask : splitMasks(m_mask)) {
        win::TSearchRec rec;
        int rc = win::FindFirst(prefix + mask, searchAttributes(m_fileType), rec);
        if (rc == static_cast<int>(win::ERROR_PATH_NOT_FOUND) ||
            rc == static_cast<int>(win::ERROR_ACCESS_DENIED) || rc == static_cast<int>(win::ERROR_DIRECTORY))
            return false; // the folder cannot be entered: the list stays as it was
        while (rc == 0) {
            if (rec.Name != "." && rec.Name != ".." && wanted(rec.Attr, m_fileType) &&
                seen.insert(rec.Name).second)
                names.push_back(rec.Name);
            rc = win::FindNext(rec);
        }
        win::FindClose(rec);
    }
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return rtl::AnsiNameLess(a, b); });
    auto* list = static_cast<QListWidget*>(Widget());
    {
        const QSignalBlocker quiet(list);
        list->clearSelection();
        list->selectionModel()->clearCurrentIndex();
        Items().Clear();
        QFileIconProvider icons;
        for (const std::string& n : names) {
            Items().Insert(Items().Count(), n);
            if (m_showGlyphs)
                list->item(list->count() - 1)
                    ->setIcon(icons.icon(QFileInfo(QString::fromStdString(win::HostPath(prefix + n)))));
        }
    }
    list->viewport()->update();
    Change(); // a new listing, nothing selected
    return true;
}

void TFileListBox::SelectionChanged() {
    // The user's selection is told by ItemClick, after the click notification.
    if (!UserSelecting() && ItemIndex() != m_lastSelection)
        Change();
}

void TFileListBox::ItemClick() {
    TListBox::ItemClick();
    if (ItemIndex() != m_lastSelection)
        Change();
}

void TFileListBox::Change() {
    m_lastSelection = ItemIndex();
    Fire(OnChange, this);
}

} // namespace vcl
