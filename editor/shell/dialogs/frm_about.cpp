#include "frm_about.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "dialog_common.h"

namespace lumora {

TfrmAbout::TfrmAbout(QWidget* parent) : QDialog(parent)
{
    dialogs::SetUpDialogWindow(this, QStringLiteral("Lumora V3"));
    auto* panel = new QFrame(this);
    panel->setFrameShape(QFrame::StyledPanel);
    auto* name = new QLabel(QStringLiteral("Lumora V3"), panel);
    QFont large = name->font();
    large.setPointSizeF(large.pointSizeF() * 2.2);
    large.setBold(true);
    name->setFont(large);
    auto* terms = new QLabel(QStringLiteral("This program is licensed for use by the receiver maker's engineers and "
                                            "service partners only; it may not be copied or passed on."),
                             panel);
    terms->setWordWrap(true);
    auto* lines = new QVBoxLayout(panel);
    lines->addWidget(name);
    lines->addWidget(new QLabel(QStringLiteral("ver 2.22"), panel));
    lines->addWidget(terms);
    lines->addWidget(new QLabel(QStringLiteral("Last Updates 2002.5.3"), panel));
    lines->addWidget(new QLabel(QStringLiteral("Last Build 2002.5.3"), panel));

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    auto* root = new QVBoxLayout(this);
    root->addWidget(panel);
    root->addLayout(buttons);
    setFixedWidth(360);
}

}  // namespace lumora
