// The details list of a merge, read-only, grouped and counted, with a way to save it as text.
#pragma once

#include <QDialog>
#include <filesystem>
#include <vector>

#include "core/workflow/MergeDetails.h"

class QTreeWidget;

class DetailsWindow : public QDialog {
    Q_OBJECT

  public:
    DetailsWindow(MergeDetails details, std::vector<std::filesystem::path> mergeFiles, QWidget* parent);

  private:
    void onSave();

    MergeDetails details_;
    std::vector<std::filesystem::path> mergeFiles_;
    QTreeWidget* tree_;
};
