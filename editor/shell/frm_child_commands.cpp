// The document window's commands: cell write-back, the two popup menus, the
// clipboard keys, sorting, undo and redo and the menu configuration dialog.
#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

#include "frm_child.h"
#include "grid/k_string_grid.h"
#include "service_order.h"
#include "shell_text.h"

namespace lumora {

void TfrmChild::SGSetEditText(int col, int row, const QString& value)
{
    cellWriteBackFailed_ = !Run([&] { document_->SGSetEditText(col, row, NameBytes(value)); });
}

void TfrmChild::SGMouseDown(Qt::MouseButton button, const QPoint& globalPos)
{
    bool open = false;
    Run([&] { open = document_->SGMouseDown(button == Qt::RightButton); });
    ShowPopupMenu2State();
    if (open)
        PopupMenu2->popup(globalPos);
}

void TfrmChild::ShowPopupMenu2State()
{
    const TServiceMenuState& state = document_->PopupMenu2;
    AddInformation2->setEnabled(state.AddInformation);
    AddInformation2->setText(NameText(state.AddInformationCaption));
    Paste1->setEnabled(state.Paste);
    FillChangeMenu(ChangeTSMenu, state.ChangeTS, &ChannelDocument::MyTSClick);
    FillChangeMenu(ChangeNetworkMenu, state.ChangeNetwork, &ChannelDocument::MyNetClick);
    FillChangeMenu(ChangeProviderMenu, state.ChangeProvider, &ChannelDocument::MyPrvClick);
}

// The change submenus are rebuilt on every mouse press, from the tables as
// they are then.
void TfrmChild::FillChangeMenu(QMenu* menu, const std::vector<TMenuEntry>& entries,
                               void (ChannelDocument::*command)(const std::string&))
{
    menu->clear();
    for (const TMenuEntry& entry : entries) {
        QAction* action = menu->addAction(NameText(entry.Caption));
        action->setObjectName(NameText(entry.Name));
        const std::string name = entry.Name;
        connect(action, &QAction::triggered, this,
                [this, command, name] { Command([this, command, &name] { (document_.get()->*command)(name); }); });
    }
    menu->setEnabled(!entries.empty());
}

void TfrmChild::SGKeyDown(int key, Qt::KeyboardModifiers modifiers)
{
    if ((key == Qt::Key_Up || key == Qt::Key_Down) && (modifiers & Qt::ControlModifier)) {
        Command([this, key] { MoveSelectedRowsBy(*document_, key == Qt::Key_Up ? -1 : 1); });
        return;
    }
    if (key == Qt::Key_Delete && !(modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier))) {
        DeleteSelectedServices();
        return;
    }
    switch (ChannelDocument::SGKeyDown(key, modifiers & Qt::ControlModifier)) {
    case ServiceClipboardCommand::Cut: Cut1Click(); break;
    case ServiceClipboardCommand::Copy: Copy1Click(); break;
    case ServiceClipboardCommand::Paste: Paste1Click(); break;
    case ServiceClipboardCommand::None: break;
    }
}

void TfrmChild::SGRowsDropped(int beforeRow)
{
    Command([this, beforeRow] { MoveSelectedRows(*document_, beforeRow); });
}

void TfrmChild::Edit1Click()
{
    Command([this] { document_->Edit1Click(); });
}
void TfrmChild::AddInformation1Click()
{
    Command([this] { document_->AddInformation1Click(); });
}
void TfrmChild::DeleteInformation1Click()
{
    Command([this] { document_->DeleteInformation1Click(); });
}
void TfrmChild::AddInformation2Click()
{
    Command([this] { document_->AddInformation2Click(); });
}
void TfrmChild::DeleteInformation2Click()
{
    Command([this] { document_->DeleteInformation2Click(); });
}
void TfrmChild::Cut1Click()
{
    Command([this] { document_->Cut1Click(); });
}
void TfrmChild::Copy1Click()
{
    Command([this] { document_->Copy1Click(); });
}
void TfrmChild::Paste1Click()
{
    Command([this] { document_->Paste1Click(); });
}
void TfrmChild::DeleteSelectedServices()
{
    if (ServiceCommands().Delete)
        DeleteInformation2Click();
}
void TfrmChild::SelectAllServices()
{
    SG->setFocus(Qt::ShortcutFocusReason);
    SG->selectAll();
}
void TfrmChild::BtnSortAClick()
{
    Command([this] { document_->BtnSortAClick(); });
}
void TfrmChild::BtnSortZClick()
{
    Command([this] { document_->BtnSortZClick(); });
}
void TfrmChild::Undo()
{
    Command([this] { document_->Undo(); });
}
void TfrmChild::Redo()
{
    Command([this] { document_->Redo(); });
}
void TfrmChild::FlatButton2Click()
{
    Command([this] { document_->FlatButton2Click(); });
}
void TfrmChild::ReplaceInNamesClick()
{
    Command([this] { document_->ReplaceInNames(); });
}
void TfrmChild::RemoveDuplicatesClick()
{
    Command([this] { document_->RemoveDuplicates(); });
}

void TfrmChild::FocusFilter()
{
    FilterBox->setFocus(Qt::ShortcutFocusReason);
    FilterBox->selectAll();
}

void TfrmChild::FilterChange(const QString& text)
{
    Command([&] { document_->SetFilterText(NameBytes(text)); });
}

}  // namespace lumora
