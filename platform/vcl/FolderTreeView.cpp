#include <vcl/FolderTreeView.h>

#include "Internal.h"
#include <vcl/Application.h>

#include <runtime/Cp1250.h>
#include <runtime/SysUtils.h>
#include <windows/Windows.h>

#include <QApplication>
#include <QFocusEvent>
#include <QHeaderView>
#include <QSignalBlocker>
#include <QStyle>
#include <QTreeWidget>

#include <algorithm>
#include <cctype>
#include <vector>

namespace vcl {

namespace {

constexpr int kPathRole = Qt::UserRole + 1;
constexpr int kFilledRole = Qt::UserRole + 2;

// Receiving the focus selects nothing: Qt would make the first item current, and the first
// arrow key would then skip it.
class FolderTreeWidget : public QTreeWidget {
  protected:
    void focusInEvent(QFocusEvent* event) override {
        const bool hadCurrent = currentIndex().isValid();
        QTreeWidget::focusInEvent(event);
        if (!hadCurrent)
            selectionModel()->clearCurrentIndex();
    }
};

QTreeWidget* makeTree() {
    auto* tree = detail::makeWidget<FolderTreeWidget>();
    tree->setHeaderHidden(true);
    tree->setColumnCount(1);
    tree->setSelectionMode(QAbstractItemView::SingleSelection);
    tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tree->setRootIsDecorated(true);
    tree->header()->setStretchLastSection(false);
    tree->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    return tree;
}

bool isDriveRoot(const std::string& path) {
    return path.size() == 3 && path[1] == ':' && path[2] == '\\';
}

bool isFullPath(const std::string& path) {
    const bool drive = path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' &&
                       (path.size() == 2 || path[2] == '\\' || path[2] == '/');
    return drive || (!path.empty() && (path[0] == '\\' || path[0] == '/'));
}

// "C:\Data\" and "c:\data" alike give the spelling on disk, "C:\Data"; a root keeps "\".
std::string normalised(const std::string& folder) {
    std::string path = win::WindowsPath(win::HostPath(folder));
    if (path.size() == 2 && path[1] == ':')
        path += '\\';
    while (path.size() > 1 && path.back() == '\\' && !isDriveRoot(path))
        path.pop_back();
    return path;
}

std::string lastPart(const std::string& path) {
    const std::size_t slash = path.find_last_of('\\');
    return slash == std::string::npos || slash + 1 == path.size() ? path : path.substr(slash + 1);
}

// "/ (C:)", "data (D:)": the host folder's last name and the drive.
std::string driveText(char letter) {
    std::string host = win::HostPath(std::string(1, letter) + ":\\");
    while (host.size() > 1 && host.back() == '/')
        host.pop_back();
    const std::size_t slash = host.find_last_of('/');
    std::string name = slash == std::string::npos || host == "/" ? host : host.substr(slash + 1);
    return rtl::utf8ToCp1250(name) + " (" + std::string(1, letter) + ":)";
}

std::string itemText(const std::string& path) {
    return isDriveRoot(path) ? driveText(path[0]) : lastPart(path);
}

std::vector<std::string> subfolders(const std::string& path) {
    std::vector<std::string> names;
    const std::string prefix = path + (path.back() == '\\' ? "" : "\\");
    win::TSearchRec rec;
    for (int rc = win::FindFirst(prefix + "*.*", win::faDirectory, rec); rc == 0; rc = win::FindNext(rec)) {
        if ((rec.Attr & win::faDirectory) && rec.Name != "." && rec.Name != "..")
            names.push_back(rec.Name);
    }
    win::FindClose(rec);
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return rtl::AnsiCompareText(a, b) < 0; });
    return names;
}

std::string pathOf(const QTreeWidgetItem* item) {
    return item ? detail::fromQt(item->data(0, kPathRole).toString()) : std::string();
}

QTreeWidgetItem* newItem(const std::string& path) {
    auto* item = new QTreeWidgetItem();
    item->setText(0, detail::toQt(itemText(path)));
    item->setData(0, kPathRole, detail::toQt(path));
    item->setData(0, kFilledRole, false);
    QStyle* style = QApplication::style();
    item->setIcon(0, style->standardIcon(isDriveRoot(path) ? QStyle::SP_DriveHDIcon : QStyle::SP_DirClosedIcon));
    // Opened on demand: the marker shows until the folder has been read.
    item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    return item;
}

// Reads the item's subfolders the first time it is needed.
void fill(QTreeWidgetItem* item) {
    if (!item || item->data(0, kFilledRole).toBool())
        return;
    item->setData(0, kFilledRole, true);
    const std::string path = pathOf(item);
    const std::string prefix = path + (path.back() == '\\' ? "" : "\\");
    for (const std::string& name : subfolders(path))
        item->addChild(newItem(prefix + name));
    item->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
}

// Is `inner` `outer` or below it (both normalised, letter case ignored)?
bool within(const std::string& inner, const std::string& outer) {
    if (rtl::AnsiCompareText(inner, outer) == 0)
        return true;
    const std::string prefix = outer + (outer.back() == '\\' ? "" : "\\");
    return inner.size() > prefix.size() && rtl::AnsiCompareText(inner.substr(0, prefix.size()), prefix) == 0;
}

} // namespace

TFolderTreeView::TFolderTreeView(TComponent* owner) : TWinControl(owner, makeTree()) {
    SetColor(clWindow);
    auto* tree = static_cast<QTreeWidget*>(Widget());
    QObject::connect(tree, &QTreeWidget::itemExpanded, SignalContext(), [](QTreeWidgetItem* item) { fill(item); });
    QObject::connect(tree, &QTreeWidget::currentItemChanged, SignalContext(),
                     [this](QTreeWidgetItem*, QTreeWidgetItem*) { Fire(OnChange, this); });
    fillTop();
}

bool TFolderTreeView::SetRoot(const std::string& folder) {
    const bool usable = isFullPath(folder) && win::DirectoryExists(folder);
    m_root = usable ? normalised(folder) : std::string();
    fillTop();
    return usable || folder.empty();
}

void TFolderTreeView::fillTop() {
    auto* tree = static_cast<QTreeWidget*>(Widget());
    {
        const QSignalBlocker quiet(tree);
        tree->clear();
        if (!m_root.empty()) {
            QTreeWidgetItem* top = newItem(m_root);
            tree->addTopLevelItem(top);
            fill(top);
            top->setExpanded(true);
            tree->setCurrentItem(top);
        } else {
            const win::DWORD drives = win::GetLogicalDrives();
            for (int n = 0; n < 26; ++n) {
                if (drives & (win::DWORD{1} << n))
                    tree->addTopLevelItem(newItem(std::string(1, static_cast<char>('A' + n)) + ":\\"));
            }
        }
    }
    Fire(OnChange, this);
}

std::string TFolderTreeView::SelectedFolder() const {
    auto* tree = static_cast<QTreeWidget*>(Widget());
    QTreeWidgetItem* item = tree->currentItem();
    return item && item->isSelected() ? pathOf(item) : std::string();
}

bool TFolderTreeView::SelectFolder(const std::string& folder) {
    if (!isFullPath(folder) || !win::DirectoryExists(folder))
        return false;
    const std::string path = normalised(folder);
    auto* tree = static_cast<QTreeWidget*>(Widget());
    QTreeWidgetItem* item = nullptr;
    for (int i = 0; i < tree->topLevelItemCount() && !item; ++i) {
        if (within(path, pathOf(tree->topLevelItem(i))))
            item = tree->topLevelItem(i);
    }
    // Down the tree, one level at a time, each opened on the way.
    while (item && rtl::AnsiCompareText(pathOf(item), path) != 0) {
        fill(item);
        item->setExpanded(true);
        QTreeWidgetItem* next = nullptr;
        for (int i = 0; i < item->childCount() && !next; ++i) {
            if (within(path, pathOf(item->child(i))))
                next = item->child(i);
        }
        item = next;
    }
    if (!item)
        return false;
    tree->setCurrentItem(item);
    tree->scrollToItem(item);
    return true;
}

int TFolderTreeView::TopCount() const {
    return static_cast<QTreeWidget*>(Widget())->topLevelItemCount();
}

std::string TFolderTreeView::TopText(int index) const {
    auto* tree = static_cast<QTreeWidget*>(Widget());
    QTreeWidgetItem* item = tree->topLevelItem(static_cast<int>(detail::checkedIndex(index, tree->topLevelItemCount())));
    return detail::fromQt(item->text(0));
}

} // namespace vcl
