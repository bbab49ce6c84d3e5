#include <vcl/DirectoryListBox.h>

#include "Internal.h"
#include <vcl/Application.h>
#include <vcl/DriveComboBox.h>
#include <vcl/FileListBox.h>

#include <runtime/SysUtils.h>
#include <windows/Windows.h>

#include <QApplication>
#include <QListWidget>
#include <QSignalBlocker>
#include <QStyle>
#include <QStyledItemDelegate>

#include <algorithm>
#include <cctype>

namespace vcl {

namespace {

constexpr int kLevelRole = Qt::UserRole + 2;
constexpr int kIndent = 10;

// Draws each line a level further in, as the folder tree's steps.
class IndentDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem shifted(option);
        shifted.rect.adjust(index.data(kLevelRole).toInt() * kIndent, 0, 0, 0);
        QStyledItemDelegate::paint(painter, shifted, index);
    }
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.rwidth() += index.data(kLevelRole).toInt() * kIndent;
        return size;
    }
};

// "C:\Dane\" and "c:\dane" alike give the spelling on disk, "C:\Dane"; a root keeps "\".
std::string normalised(const std::string& folder) {
    std::string path = win::WindowsPath(win::HostPath(folder));
    while (path.size() > 1 && path.back() == '\\' && !(path.size() == 3 && path[1] == ':'))
        path.pop_back();
    return path;
}

// The steps from the root down: "C:\", "C:\Dane", "C:\Dane\Tapety".
std::vector<std::string> steps(const std::string& path) {
    std::vector<std::string> out;
    std::size_t start = path.size() >= 3 && path[1] == ':' ? 3 : 1;
    out.push_back(path.substr(0, std::min(start, path.size())));
    while (start < path.size()) {
        std::size_t slash = path.find('\\', start);
        if (slash == std::string::npos)
            slash = path.size();
        out.push_back(path.substr(0, slash));
        start = slash + 1;
    }
    return out;
}

std::string lastPart(const std::string& path) {
    const std::size_t slash = path.find_last_of('\\');
    return slash == std::string::npos || slash + 1 == path.size() ? path : path.substr(slash + 1);
}

} // namespace

TDirectoryListBox::TDirectoryListBox(TComponent* owner) : TListBox(owner) {
    auto* list = static_cast<QListWidget*>(Widget());
    list->setItemDelegate(new IndentDelegate(list));
    // Enter or a double click on a line opens its folder.
    QObject::connect(list, &QListWidget::itemActivated, SignalContext(),
                     [this](QListWidgetItem*) { OpenCurrent(); });
    open(win::GetCurrentDirectory(), false);
}

TDirectoryListBox::~TDirectoryListBox() {
    if (m_driveCombo && m_driveCombo->m_dirList == this)
        m_driveCombo->m_dirList = nullptr;
}

bool TDirectoryListBox::SetDirectory(const std::string& folder) {
    return open(folder, true);
}

char TDirectoryListBox::Drive() const {
    if (m_directory.size() >= 2 && m_directory[1] == ':')
        return static_cast<char>(std::toupper(static_cast<unsigned char>(m_directory[0])));
    return 0;
}

bool TDirectoryListBox::SetDrive(char letter) {
    letter = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
    if (letter == Drive())
        return true;
    return open(std::string(1, letter) + ":\\", true);
}

bool TDirectoryListBox::WantsKey(WORD key, TShiftState shift) const {
    return key == VK_RETURN && !shift.Contains(ssAlt) && !shift.Contains(ssCtrl);
}

std::string TDirectoryListBox::GetItemPath(int index) const {
    return index >= 0 && index < static_cast<int>(m_paths.size()) ? m_paths[index] : std::string();
}

void TDirectoryListBox::OpenCurrent() {
    const std::string path = GetItemPath(ItemIndex());
    if (!path.empty() && path != m_directory)
        open(path, true);
}

void TDirectoryListBox::Update() {
    open(m_directory, false);
}

void TDirectoryListBox::SetFileList(TFileListBox* list) {
    m_fileList = list;
    if (!list)
        return;
    QObject::connect(list->Widget(), &QObject::destroyed, SignalContext(), [this, list] {
        if (m_fileList == list)
            m_fileList = nullptr;
    });
    list->SetDirectory(m_directory);
}

bool TDirectoryListBox::open(const std::string& folder, bool notify) {
    if (folder.empty() || !win::DirectoryExists(folder))
        return false;
    const std::string path = normalised(folder);
    // The folder the list opens becomes the process's current folder, as the platform's does.
    if (!win::SetCurrentDirectoryA(path.c_str()))
        return false;

    std::vector<std::string> subfolders;
    const std::string prefix = path + (path.back() == '\\' ? "" : "\\");
    win::TSearchRec rec;
    for (int rc = win::FindFirst(prefix + "*.*", win::faDirectory, rec); rc == 0; rc = win::FindNext(rec)) {
        if ((rec.Attr & win::faDirectory) && rec.Name != "." && rec.Name != "..")
            subfolders.push_back(rec.Name);
    }
    win::FindClose(rec);
    std::sort(subfolders.begin(), subfolders.end(),
              [](const std::string& a, const std::string& b) { return rtl::AnsiNameLess(a, b); });

    const bool changed = path != m_directory;
    m_directory = path;
    m_paths.clear();
    auto* list = static_cast<QListWidget*>(Widget());
    QStyle* style = QApplication::style();
    {
        const QSignalBlocker quiet(list);
        Items().Clear();
        const std::vector<std::string> down = steps(path);
        for (std::size_t i = 0; i < down.size(); ++i) {
            std::string text = i == 0 ? down[i] : lastPart(down[i]);
            if (i == 0 && text.size() >= 2 && text[1] == ':')
                text[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[0])));
            Items().Insert(Items().Count(), text);
            QListWidgetItem* item = list->item(list->count() - 1);
            item->setIcon(style->standardIcon(QStyle::SP_DirOpenIcon));
            item->setData(kLevelRole, static_cast<int>(i));
            m_paths.push_back(down[i]);
        }
        const int current = list->count() - 1;
        for (const std::string& name : subfolders) {
            Items().Insert(Items().Count(), name);
            QListWidgetItem* item = list->item(list->count() - 1);
            item->setIcon(style->standardIcon(QStyle::SP_DirClosedIcon));
            item->setData(kLevelRole, static_cast<int>(down.size()));
            m_paths.push_back(prefix + name);
        }
        list->setCurrentRow(current, QItemSelectionModel::ClearAndSelect);
    }
    list->viewport()->update();

    if (m_fileList)
        m_fileList->SetDirectory(m_directory);
    if (m_driveCombo)
        m_driveCombo->follow(Drive());
    if (notify && changed)
        Fire(OnChange, this);
    return true;
}

} // namespace vcl
