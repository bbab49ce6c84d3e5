#include <vcl/DriveComboBox.h>

#include "Internal.h"
#include <vcl/Application.h>
#include <vcl/DirectoryListBox.h>

#include <runtime/Cp1250.h>
#include <windows/Windows.h>

#include <QApplication>
#include <QComboBox>
#include <QStyle>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

namespace vcl {

namespace {

char driveOf(const std::string& windowsPath) {
    if (windowsPath.size() >= 2 && windowsPath[1] == ':')
        return static_cast<char>(std::toupper(static_cast<unsigned char>(windowsPath[0])));
    return 0;
}

QIcon iconFor(char letter) {
    const char root[] = {letter, ':', '\\', '\0'};
    QStyle* style = QApplication::style();
    switch (win::GetDriveTypeA(root)) {
    case win::DRIVE_REMOTE:
        return style->standardIcon(QStyle::SP_DriveNetIcon);
    case win::DRIVE_CDROM:
        return style->standardIcon(QStyle::SP_DriveCDIcon);
    case win::DRIVE_REMOVABLE:
        return style->standardIcon(QStyle::SP_DriveFDIcon);
    default:
        return style->standardIcon(QStyle::SP_DriveHDIcon);
    }
}

} // namespace

TDriveComboBox::TDriveComboBox(TComponent* owner) : TCustomComboBox(owner) {
    Update();
    follow(driveOf(win::GetCurrentDirectory()));
}

void TDriveComboBox::Picked(int index) {
    if (index >= 0 && index < static_cast<int>(m_drives.size()) && !SetDrive(m_drives[index]))
        follow(Drive()); // the drive could not be opened: back to the one that is
}

TDriveComboBox::~TDriveComboBox() {
    if (m_dirList && m_dirList->m_driveCombo == this)
        m_dirList->m_driveCombo = nullptr;
}

char TDriveComboBox::Drive() const {
    return m_drive;
}

bool TDriveComboBox::SetDrive(char letter) {
    letter = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
    const auto it = std::find(m_drives.begin(), m_drives.end(), letter);
    if (it == m_drives.end())
        return false;
    if (letter == Drive())
        return true;
    if (m_dirList && !m_dirList->SetDrive(letter))
        return false;
    if (m_drive != letter) // the list, opening the drive, may have shown it already
        select(static_cast<int>(it - m_drives.begin()));
    return true;
}

std::string TDriveComboBox::DriveText(int index) const {
    QComboBox* box = Box();
    return box && index >= 0 && index < box->count() ? detail::fromQt(box->itemText(index)) : std::string();
}

void TDriveComboBox::Update() {
    const char current = Drive();
    m_drives.clear();
    std::vector<std::string> texts;
    const win::DWORD mask = win::GetLogicalDrives();
    for (int i = 0; i < 26; ++i) {
        if (!(mask & (win::DWORD(1) << i)))
            continue;
        const char letter = static_cast<char>('A' + i);
        const std::string host = win::HostPath(std::string(1, letter) + ":\\");
        std::string label = host == "/" ? host : host.substr(host.find_last_of('/') + 1);
        m_drives.push_back(letter);
        texts.push_back(std::string(1, static_cast<char>(std::tolower(letter))) + ": [" +
                        rtl::utf8ToCp1250(label) + "]");
    }
    const auto it = std::find(m_drives.begin(), m_drives.end(), current);
    SetEntries(texts, it == m_drives.end() ? -1 : static_cast<int>(it - m_drives.begin()));
    for (std::size_t i = 0; i < m_drives.size(); ++i)
        Box()->setItemIcon(static_cast<int>(i), iconFor(m_drives[i]));
    if (it == m_drives.end())
        m_drive = 0;
}

void TDriveComboBox::SetDirList(TDirectoryListBox* list) {
    if (m_dirList && m_dirList->m_driveCombo == this)
        m_dirList->m_driveCombo = nullptr;
    m_dirList = list;
    if (!list)
        return;
    list->m_driveCombo = this;
    follow(list->Drive());
}

void TDriveComboBox::follow(char letter) {
    const auto it = std::find(m_drives.begin(), m_drives.end(), letter);
    const int index = it == m_drives.end() ? -1 : static_cast<int>(it - m_drives.begin());
    if (index >= 0 && letter != m_drive)
        select(index);
    else
        ShowEntry(index);
}

void TDriveComboBox::select(int index) {
    ShowEntry(index);
    m_drive = m_drives[index];
    Fire(OnChange, this);
}

} // namespace vcl
