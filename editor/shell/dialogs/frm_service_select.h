// "Service Select Window": lists the services of one type and lets the person
// pick a contiguous range of rows. On OK the rows' shown numbers (minus 1
// under fixed numbering) and table indices are left in
// TApplicationState::ServiceSelectionResult.
#pragma once

#include <QDialog>
#include <vector>

#include "app_state.h"

class QTableWidget;

namespace lumora {

// How the dialog numbers its rows: ordinals 1, 2, 3, ... or, under fixed
// numbering, each service's OP number as the service grid shows it.
struct TServiceSelectNumbering {
    bool pFixServiceIndex = false;
    std::vector<int32_t> OPNumbers;  // by table index; used under fixed numbering
};

class TfrmServiceSelect : public QDialog {
    Q_OBJECT
public:
    explicit TfrmServiceSelect(TApplicationState& state, QWidget* parent = nullptr);

    // One row per service of `serviceType` (0 TV, 1 radio), in table order.
    void InitData(uint8_t serviceType, const TServiceInfo& services, const TServiceSelectNumbering& numbering);

    // The selected rows, top to bottom, as the result record holds them.
    TServiceSelection MakeData() const;

    QTableWidget* SG = nullptr;

private:
    TApplicationState& m_state;
    bool m_fixedNumbering = false;
};

}  // namespace lumora
