// A tree of the machine's drives, folders and files that lists a folder only when it is opened.
#pragma once

#include <QFileIconProvider>
#include <QHash>
#include <QIcon>
#include <QString>
#include <QStringList>
#include <QTreeWidget>

class QFileInfo;

class DirTreeCtrl : public QTreeWidget {
    Q_OBJECT

  public:
    explicit DirTreeCtrl(QWidget* parent = nullptr);

    // Clears the tree and lists the drives; files are listed besides folders when `showFiles` is set.
    // False, with lastError set, when the icons or the drives cannot be had.
    bool populate(bool showFiles);
    // The full path of an item, with the platform's separators: "C:" or "/" for a root item.
    [[nodiscard]] QString itemPath(const QTreeWidgetItem* item) const;
    // Opens the chain of folders down to `path`, each listed afresh, and selects the last one. False,
    // with the tree untouched, when the folder does not exist or lies on no listed drive; false with
    // the existing part opened when a folder on the way is not in the tree.
    bool selectPath(const QString& path);
    [[nodiscard]] const QString& lastError() const { return lastError_; }

    // The child of `parent` (a root item when null) whose text is `text`; failing that, the first
    // whose text matches when both are upper-cased, so that "Data" and "data" are never confused where
    // both exist. Hides QObject::findChild, which this class never needs.
    [[nodiscard]] QTreeWidgetItem* findChild(QTreeWidgetItem* parent, const QString& text) const;
    // Whether `path` lies on a listed drive and names an existing folder.
    [[nodiscard]] bool isValidPath(const QString& path) const;
    // The empty child that gives a closed folder its expand button.
    [[nodiscard]] static bool isPlaceholder(const QTreeWidgetItem* item);

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    enum class Kind { Drive, Folder, File };

    [[nodiscard]] bool attachSystemImages();
    [[nodiscard]] bool addDrives();
    void fillFolder(QTreeWidgetItem* parent, const QString& path);
    [[nodiscard]] QTreeWidgetItem* makeItem(const QString& text, const QFileInfo& info, Kind kind);
    [[nodiscard]] bool hasChildren(const QString& path) const;
    void onItemExpanded(QTreeWidgetItem* item);
    void onItemCollapsed(QTreeWidgetItem* item);
    void refillItem(QTreeWidgetItem* item);
    // The path to list: a drive's root rather than its current folder.
    [[nodiscard]] QString folderPath(const QTreeWidgetItem* item) const;
    [[nodiscard]] QIcon iconFor(const QFileInfo& info, Kind kind);
    [[nodiscard]] static QStringList pathComponents(const QString& path);

    bool showFiles_ = false;
    QString lastError_;
    QFileIconProvider iconProvider_;
    // Folders show their open image when selected; built once per tree.
    QIcon folderIcon_;
    QIcon driveIcon_;
    QIcon fileIcon_;
    QHash<QString, QIcon> fileIcons_;  // by lower-case suffix
};
