// The printed service list: the report layout (TfrmPrint, never shown) and
// the values it is fed from the rows a document's service grid lists.
#pragma once

#include <QImage>
#include <QString>
#include <cstdint>
#include <string>
#include <vector>

#include "print/al_report.h"
#include "records.h"

class QPagedPaintDevice;

namespace lumora {
class ChannelDocument;
class TServiceGrid;
}  // namespace lumora

namespace lumora::print {

// The print job's title.
inline constexpr const char* kPrintJobTitle = "Lumora V3 Printing.";
// Shown instead of printing when the grid lists no service.
inline constexpr const char* kNoItemsMessage = "No items to be selected in this category.";

// One grid row as printing reads it: the displayed number and the service.
struct TPrintRow {
    std::string Number;
    int32_t RealIndex = -1;  // -1: the row shows no service
};

// Everything a service list is printed from.
struct TPrintInputs {
    std::vector<TPrintRow> Rows;  // grid data rows, top to bottom
    std::string Category;  // the caption of the selected tree node
    const TChannelDatabase* Database = nullptr;
    bool CableModel = false;  // the receiver model has a cable tuner
};

// The typed rows of an open document's grid SG, with its label Label1 and tables.
TPrintInputs PrintInputsFromDocument(const ChannelDocument& doc);

// False when the grid's first data row has no real index: the category lists no service.
bool HasItemsToPrint(const TPrintInputs& inputs);

// Cell texts of the printed columns.
QString ServiceNumberText(const TServiceItem& service, const std::string& displayedNumber);
QString PolarizationLetter(uint8_t ucPolarization);
// Code-rate names for 0..5. Above 5 only cable streams carry a code: their
// constellation, printed by its name; other values print nothing.
QString FecText(uint8_t ucFEC, bool cableModel);

class TfrmPrint {
public:
    // Builds the report layout: A4 portrait, no left or right margin.
    TfrmPrint();
    // L1 points into the report: the form is neither copied nor moved.
    TfrmPrint(const TfrmPrint&) = delete;
    TfrmPrint& operator=(const TfrmPrint&) = delete;

    TAlReport AlReport1;
    TAlElement* L1;  // the category label of the title band

    // Sets the category and appends one value per field for each row, down
    // to the first row whose real index is not a service of the table.
    void FeedServiceRows(const TPrintInputs& inputs);
};

// Prints the service list of `inputs` onto a printer or PDF writer. False when
// painting could not start.
bool PrintServiceList(const TPrintInputs& inputs, QPagedPaintDevice& device);
// Page `index` (0-based) of the service list on A4 at `dpi`.
QImage RenderServiceListPage(const TPrintInputs& inputs, int index, double dpi);

}  // namespace lumora::print
