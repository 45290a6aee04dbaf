#pragma once
// The main window: the partition list, the work mode and the buttons that act on them.

#include "app/PartitionRows.h"
#include "driver/DriverLibrary.h"
#include "platform/Form.h"

namespace veltrane {

class TfrmSetup final : public Form {
public:
    TfrmSetup(Application& application, DriverLibrary& driver);

    const PartitionTable& Table() const { return table_; }
    WorkMode Mode() const { return workMode_; }

private:
    void FormCreate() override;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnClose() override;

    void SetTexts();
    void PrepareListView();
    void FillList(const std::vector<PartitionRow>& rows);
    void FitLastColumn();
    void ShowWorkMode(WorkMode mode);

    DriverLibrary& driver_;
    PartitionTable table_{};
    WorkMode workMode_ = kModeOpen;
    bool gateOpen_ = false; // a password check is on screen
};

} // namespace veltrane
