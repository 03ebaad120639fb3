// "Service Select Window": lists the services of one type and lets the person
// pick a contiguous range of rows. On OK the chosen rows (shown number minus 1
// under fixed numbering, table index) are kept in the dialog for Chosen().
#pragma once

#include <QDialog>
#include <vector>

#include "ui_port.h"

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
    explicit TfrmServiceSelect(QWidget* parent = nullptr);

    // One row per service of `serviceType` (0 TV, 1 radio), in table order.
    void InitData(uint8_t serviceType, const TServiceInfo& services, const TServiceSelectNumbering& numbering);

    // The selected rows, top to bottom.
    std::vector<TServiceChoice> MakeData() const;
    // The rows taken on OK; empty until the dialog was accepted.
    std::vector<TServiceChoice> Chosen() const { return m_chosen; }

    QTableWidget* SG = nullptr;

private:
    bool m_fixedNumbering = false;
    std::vector<TServiceChoice> m_chosen;
};

}  // namespace lumora
