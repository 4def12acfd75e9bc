// The About box.
#include "gui/main/AboutDialog.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("About VelkMerge"));

    const int iconSize = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
    const QIcon icon = parent != nullptr ? parent->windowIcon() : QApplication::windowIcon();
    auto* iconLabel = new QLabel(this);
    iconLabel->setObjectName(QStringLiteral("icon"));
    iconLabel->setPixmap(icon.pixmap(QSize(iconSize, iconSize), devicePixelRatio()));
    iconLabel->setFixedSize(iconSize, iconSize);

    auto* text = new QLabel(QStringLiteral("VelkMerge Version 2.0"), this);
    text->setObjectName(QStringLiteral("version"));
    text->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("ok"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* buttonColumn = new QVBoxLayout;
    buttonColumn->addWidget(ok);
    buttonColumn->addStretch();

    auto* row = new QHBoxLayout(this);
    row->addWidget(iconLabel, 0, Qt::AlignTop);
    row->addWidget(text, 1, Qt::AlignTop);
    row->addSpacing(4 * fontMetrics().averageCharWidth());
    row->addLayout(buttonColumn);
    row->setSizeConstraint(QLayout::SetFixedSize);
}
