// The dialogs of File > Import: which antenna each orbital position of the
// imported files goes to, and the position table (orbital position and
// satellite name) the proposals come from, kept per user.
#pragma once

#include <QDialog>
#include <vector>

#include "import_plan.h"
#include "position_table.h"

class QComboBox;
class QPushButton;
class QTableWidget;

namespace lumora {

// One row a position: position, satellite, streams and the antenna chosen
// for it (proposed by the caller).
class TPositionDialog : public QDialog {
    Q_OBJECT
public:
    TPositionDialog(std::vector<TPositionChoice> choices, const TChannelDatabase& target, const TSettings& settings,
                    QWidget* parent);

    std::vector<TPositionChoice> Choices() const;

    QTableWidget* Table = nullptr;
    QPushButton* EditTable = nullptr;  // "Position Table..."

private:
    QComboBox* AntennaBox(int32_t chosen, const TChannelDatabase& target, const TSettings& settings);
    void EditPositionTable();

    std::vector<TPositionChoice> choices_;
};

// The position table as an editable two-column list.
class TPositionTableDialog : public QDialog {
    Q_OBJECT
public:
    TPositionTableDialog(const TPositionTable& table, QWidget* parent);

    // The table as edited; rows whose position does not read are left out.
    TPositionTable Result() const;

    QTableWidget* Table = nullptr;

private:
    void AddRow(const QString& position, const QString& name);
    void accept() override;
};

}  // namespace lumora
