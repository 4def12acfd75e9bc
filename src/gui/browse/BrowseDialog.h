// The "Select input file" dialog: a tree of drives, folders and files opened at a start folder.
#pragma once

#include <QDialog>
#include <QString>

class DirTreeCtrl;

class BrowseDialog : public QDialog {
    Q_OBJECT

  public:
    explicit BrowseDialog(QWidget* parent = nullptr);

    // Input: the folder to open and select; empty means the current folder.
    QString startFolder;
    // Result after OK: the path of the selected file, folder or drive; empty when none was selected.
    QString selectedPath;

    [[nodiscard]] DirTreeCtrl& tree() { return *tree_; }

    // OK, Enter and a double click in the tree.
    void accept() override;

  protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // Lists the drives and opens the start folder, once, as the dialog first shows.
    void onInitDialog();

    DirTreeCtrl* tree_ = nullptr;
    bool initialised_ = false;
};
