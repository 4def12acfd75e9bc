// Lazy listing of drives, folders and files, path building and opening the tree at a folder.
#include "gui/browse/DirTreeCtrl.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QKeyEvent>
#include <QList>
#include <QSignalBlocker>
#include <QStyle>
#include <algorithm>
#include <utility>

namespace {

constexpr auto everyEntry = QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System;

#ifdef Q_OS_WIN
constexpr bool driveLetters = true;
#else
constexpr bool driveLetters = false;
#endif

// Redrawing off and the busy cursor on while a folder is listed.
class ListingGuard {
  public:
    explicit ListingGuard(QWidget& view) : view_(view), wasUpdating_(view.updatesEnabled()) {
        view_.setUpdatesEnabled(false);
        QApplication::setOverrideCursor(Qt::WaitCursor);
    }
    ~ListingGuard() {
        QApplication::restoreOverrideCursor();
        view_.setUpdatesEnabled(wasUpdating_);
    }
    ListingGuard(const ListingGuard&) = delete;
    ListingGuard& operator=(const ListingGuard&) = delete;

  private:
    QWidget& view_;
    bool wasUpdating_;
};

// One image for the normal state and another for the selected one.
QIcon withSelectedImage(const QIcon& normal, const QIcon& selected) {
    QIcon both;
    for (const int side : {16, 20, 24, 32, 48}) {
        both.addPixmap(normal.pixmap(side, QIcon::Normal), QIcon::Normal);
        both.addPixmap(selected.pixmap(side, QIcon::Normal), QIcon::Selected);
    }
    return both;
}

QString joinPath(QString folder, const QString& name) {
    if (!folder.endsWith(QDir::separator())) {
        folder += QDir::separator();
    }
    return folder + name;
}

}  // namespace

DirTreeCtrl::DirTreeCtrl(QWidget* parent) : QTreeWidget(parent) {
    setHeaderHidden(true);
    setColumnCount(1);
    setRootIsDecorated(true);
    setUniformRowHeights(true);  // keeps a folder of many thousand entries quick to show
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragEnabled(false);
    setExpandsOnDoubleClick(false);  // a double click chooses; it never lists a folder first
    // Placing the same image for every file of a type keeps the listing of a big folder quick.
    iconProvider_.setOptions(QFileIconProvider::DontUseCustomDirectoryIcons);
    connect(this, &QTreeWidget::itemExpanded, this, &DirTreeCtrl::onItemExpanded);
    connect(this, &QTreeWidget::itemCollapsed, this, &DirTreeCtrl::onItemCollapsed);
}

bool DirTreeCtrl::populate(bool showFiles) {
    clear();
    if (!attachSystemImages()) {
        return false;
    }
    showFiles_ = showFiles;
    return addDrives();
}

bool DirTreeCtrl::attachSystemImages() {
    const QIcon closedFolder = iconProvider_.icon(QFileIconProvider::Folder);
    const QIcon openFolder = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon drive = iconProvider_.icon(QFileIconProvider::Drive);
    const QIcon file = iconProvider_.icon(QFileIconProvider::File);
    if (closedFolder.isNull() || openFolder.isNull() || drive.isNull() || file.isNull()) {
        lastError_ = QStringLiteral("Cannot retrieve the Handle of SystemImageList!");
        return false;
    }
    folderIcon_ = withSelectedImage(closedFolder, openFolder);
    driveIcon_ = drive;
    fileIcon_ = file;
    fileIcons_.clear();
    return true;
}

bool DirTreeCtrl::addDrives() {
    clear();
    QStringList roots;
    if constexpr (driveLetters) {
        // "C:/" as "C:"; drive A is never listed (asking a floppy drive for its contents is slow).
        for (const QFileInfo& drive : QDir::drives()) {
            QString root = QDir::toNativeSeparators(drive.absoluteFilePath());
            while (root.endsWith(QDir::separator())) {
                root.chop(1);
            }
            if (root.compare(QStringLiteral("A:"), Qt::CaseInsensitive) != 0) {
                roots.append(root);
            }
        }
    } else {
        roots.append(QDir::rootPath());
    }
    if (roots.isEmpty()) {
        lastError_ = QStringLiteral("Error Getting Logical DriveStrings!");
        return false;
    }
    for (const QString& root : std::as_const(roots)) {
        const QString rootFolder = driveLetters ? root + QDir::separator() : root;
        QTreeWidgetItem* item = makeItem(root, QFileInfo(rootFolder), Kind::Drive);
        if (item == nullptr) {
            continue;
        }
        addTopLevelItem(item);
        if (hasChildren(rootFolder)) {
            item->addChild(new QTreeWidgetItem);
        }
    }
    return true;
}

bool DirTreeCtrl::hasChildren(const QString& path) const {
    // Stops at the first entry that decides: any folder, or a file that is not hidden.
    QDirIterator entries(path, everyEntry);
    while (entries.hasNext()) {
        entries.next();
        const QFileInfo entry = entries.fileInfo();
        if (entry.isDir() || (showFiles_ && !entry.isHidden())) {
            return true;
        }
    }
    return false;
}

void DirTreeCtrl::fillFolder(QTreeWidgetItem* parent, const QString& path) {
    const ListingGuard guard(*this);
    QList<QFileInfo> folders;
    QList<QFileInfo> files;
    QDirIterator entries(path, everyEntry);
    while (entries.hasNext()) {
        entries.next();
        const QFileInfo entry = entries.fileInfo();
        if (entry.isDir()) {
            folders.append(entry);
        } else if (showFiles_) {
            files.append(entry);
        }
    }
    // Case-insensitively with letters folded to lower case ("_a" before "alpha" before "Beta"); a stable
    // sort keeps names that compare equal in the order the file system gave them.
    const auto byName = [](const QFileInfo& left, const QFileInfo& right) {
        return QString::compare(left.fileName(), right.fileName(), Qt::CaseInsensitive) < 0;
    };
    std::stable_sort(folders.begin(), folders.end(), byName);
    std::stable_sort(files.begin(), files.end(), byName);

    // Added in one go: inserting item by item makes a folder of many thousand entries slow.
    QList<QTreeWidgetItem*> items;
    items.reserve(folders.size() + files.size());
    for (const QFileInfo& folder : std::as_const(folders)) {
        if (QTreeWidgetItem* item = makeItem(folder.fileName(), folder, Kind::Folder)) {
            if (hasChildren(joinPath(path, folder.fileName()))) {
                item->addChild(new QTreeWidgetItem);
            }
            items.append(item);
        }
    }
    for (const QFileInfo& file : std::as_const(files)) {
        if (QTreeWidgetItem* item = makeItem(file.fileName(), file, Kind::File)) {
            items.append(item);
        }
    }
    parent->addChildren(items);
}

QTreeWidgetItem* DirTreeCtrl::makeItem(const QString& text, const QFileInfo& info, Kind kind) {
    const QIcon icon = iconFor(info, kind);
    if (icon.isNull()) {
        lastError_ = QStringLiteral("Error Gettting SystemFileInfo!");
        return nullptr;
    }
    auto* item = new QTreeWidgetItem(QStringList{text});
    item->setIcon(0, icon);
    return item;
}

QIcon DirTreeCtrl::iconFor(const QFileInfo& info, Kind kind) {
    switch (kind) {
        case Kind::Drive: {
            const QIcon own = iconProvider_.icon(info);
            return own.isNull() ? driveIcon_ : own;
        }
        case Kind::Folder:
            return folderIcon_;
        case Kind::File:
            break;
    }
    // Files of one type share an image; asking the platform once per type keeps big folders quick.
    // Programs, shortcuts and icon files carry their own image.
    const QString suffix = info.suffix().toLower();
    const bool ownImage = suffix == u"exe" || suffix == u"lnk" || suffix == u"ico" || suffix == u"url";
    const auto known = fileIcons_.constFind(suffix);
    if (known != fileIcons_.constEnd()) {
        return *known;
    }
    QIcon icon = iconProvider_.icon(info);
    if (icon.isNull()) {
        icon = fileIcon_;
    }
    if (ownImage) {
        return icon;
    }
    fileIcons_.insert(suffix, icon);
    return icon;
}

bool DirTreeCtrl::isPlaceholder(const QTreeWidgetItem* item) {
    return item != nullptr && item->childCount() == 0 && item->text(0).isEmpty();
}

void DirTreeCtrl::onItemExpanded(QTreeWidgetItem* item) {
    refillItem(item);
}

void DirTreeCtrl::onItemCollapsed(QTreeWidgetItem* item) {
    // The next opening reads the folder afresh.
    qDeleteAll(item->takeChildren());
    if (hasChildren(folderPath(item))) {
        item->addChild(new QTreeWidgetItem);
    }
}

void DirTreeCtrl::refillItem(QTreeWidgetItem* item) {
    qDeleteAll(item->takeChildren());
    fillFolder(item, folderPath(item));
}

QString DirTreeCtrl::folderPath(const QTreeWidgetItem* item) const {
    // "C:" alone names the current folder of drive C, not its root.
    const QString path = itemPath(item);
    return driveLetters && item->parent() == nullptr ? path + QDir::separator() : path;
}

void DirTreeCtrl::keyPressEvent(QKeyEvent* event) {
    // "*" would open every folder below, which on a whole disk (or a folder linking to itself) never ends.
    if (event->key() == Qt::Key_Asterisk) {
        if (QTreeWidgetItem* item = currentItem()) {
            item->setExpanded(true);
        }
        event->accept();
        return;
    }
    QTreeWidget::keyPressEvent(event);
}

QString DirTreeCtrl::itemPath(const QTreeWidgetItem* item) const {
    QStringList texts;
    for (; item != nullptr; item = item->parent()) {
        texts.prepend(item->text(0));
    }
    if (texts.isEmpty()) {
        return {};
    }
    QString path = texts.takeFirst();
    for (const QString& text : std::as_const(texts)) {
        path = joinPath(path, text);
    }
    return path;
}

QTreeWidgetItem* DirTreeCtrl::findChild(QTreeWidgetItem* parent, const QString& text) const {
    const int count = parent != nullptr ? parent->childCount() : topLevelItemCount();
    const auto child = [&](int index) {
        return parent != nullptr ? parent->child(index) : topLevelItem(index);
    };
    for (int index = 0; index < count; ++index) {
        if (child(index)->text(0) == text) {
            return child(index);
        }
    }
    const QString wanted = text.toUpper();
    for (int index = 0; index < count; ++index) {
        if (child(index)->text(0).toUpper() == wanted) {
            return child(index);
        }
    }
    return nullptr;
}

QStringList DirTreeCtrl::pathComponents(const QString& path) {
    const QString clean = QDir::cleanPath(QDir::fromNativeSeparators(path));
    QStringList parts = clean.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    if (clean.startsWith(QLatin1Char('/')) && !clean.startsWith(QStringLiteral("//"))) {
        parts.prepend(QStringLiteral("/"));  // the root of a file system without drive letters
    }
    return parts;
}

bool DirTreeCtrl::isValidPath(const QString& path) const {
    const QStringList parts = pathComponents(path);
    if (parts.isEmpty() || findChild(nullptr, parts.first()) == nullptr) {
        return false;
    }
    QString folder = QDir::cleanPath(QDir::fromNativeSeparators(path));
    if (!folder.endsWith(QLatin1Char('/'))) {
        folder += QLatin1Char('/');  // "C:" alone is the drive's current folder, "C:/" its root
    }
    return QFileInfo(folder).isDir();
}

bool DirTreeCtrl::selectPath(const QString& path) {
    if (!isValidPath(path)) {
        return false;
    }
    const ListingGuard guard(*this);
    QTreeWidgetItem* current = nullptr;
    for (const QString& part : pathComponents(path)) {
        QTreeWidgetItem* found = findChild(current, part);
        if (found == nullptr) {
            return false;
        }
        // Listed afresh, also when it was open already; the expansion itself must not list it twice.
        refillItem(found);
        {
            const QSignalBlocker quiet(this);
            found->setExpanded(true);
        }
        current = found;
    }
    setCurrentItem(current);
    // As much of the folder's contents in view as fits, the folder itself always.
    if (current->childCount() > 0) {
        scrollToItem(current->child(current->childCount() - 1));
    }
    scrollToItem(current);
    return true;
}
