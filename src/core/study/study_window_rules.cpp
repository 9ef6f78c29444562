#include "study/study_window_rules.h"

#include "base/app_texts.h"
#include "base/number_conversion.h"
#include "study/grid_block.h"
#include "study/level_check.h"
#include "study/study_messages.h"

#include <algorithm>
#include <utility>

namespace valdex {

namespace {

// Sets a flag for the life of the object and puts the old value back.
class FlagScope {
public:
    explicit FlagScope(bool& flag) : flag_(flag), old_(flag) { flag_ = true; }
    ~FlagScope() { flag_ = old_; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    bool& flag_;
    bool old_;
};

// The host's error box, shown like a failed check's message: no exit or
// entry check runs while it is up.
class SuspendingErrorBox : public ErrorBox {
public:
    SuspendingErrorBox(ErrorBox& box, bool& suspended, unsigned& failures)
        : box_(box), suspended_(suspended), failures_(failures) {}
    void ShowErrorBox(const std::string& text) override {
        FlagScope scope(suspended_);
        ++failures_;
        box_.ShowErrorBox(text);
    }
    void ShowUnexpectedError(const std::string& text) override {
        FlagScope scope(suspended_);
        ++failures_;
        box_.ShowUnexpectedError(text);
    }

private:
    ErrorBox& box_;
    bool& suspended_;
    unsigned& failures_;
};

bool IsLevelCountInRange(const std::string& text) {
    if (!IsInteger(text)) return false;
    const int n = ToInteger(text);
    return n >= 2 && n <= 10;
}

} // namespace

int MaxTextLength(Control field) {
    switch (field) {
    case Control::esistema:
    case Control::eanalista:
    case Control::epmedida:
        return 100;
    case Control::efecha:
    case Control::ecanad:
        return 20;
    case Control::enivel:
        return 2;
    default:
        return 0; // no limit
    }
}

StudyWindowRules::StudyWindowRules(StudyWindowView& view, StudyHost& host)
    : view_(view), host_(host), study_(CalibrationStudy::MakeNew()), caption_(kNewStudyCaption) {}

void StudyWindowRules::SetCaption(const std::string& caption) {
    caption_ = caption;
    view_.SetCaption(caption_);
}

void StudyWindowRules::LoadStudy(CalibrationStudy study) {
    study_ = std::move(study);
    view_.ShowStudy(study_, StudyPart::All);
}

void StudyWindowRules::SetFieldText(Control field, std::string text) {
    switch (field) {
    case Control::esistema:
        study_.MethodName = std::move(text);
        break;
    case Control::eanalista:
        study_.AnalystName = std::move(text);
        break;
    case Control::efecha:
        study_.StudyDate = std::move(text);
        break;
    case Control::epmedida:
        study_.MeasuredProperty = std::move(text);
        break;
    case Control::ecanad:
        study_.AddedQuantityUnits = std::move(text);
        break;
    case Control::ComboBox1:
        study_.CalculationType = std::move(text);
        break;
    case Control::enivel:
        study_.LevelCount = std::move(text);
        break;
    default:
        break;
    }
}

void StudyWindowRules::SetLevelCell(int column, int row, std::string text) {
    if (column < 1 || column > study_.LevelColumns()) return;
    StudyLevel& level = study_.Levels[column - 1];
    if (row == 1) level.AddedQuantity = std::move(text);
    if (row == 2) level.ReplicateCount = std::move(text);
}

void StudyWindowRules::SetResponseCell(int row, std::string text) {
    if (row < 1 || row > study_.ResponseRows()) return;
    study_.Responses[row - 1].Response = std::move(text);
}

void StudyWindowRules::ReportLevelCheckFailure(const std::string& message) {
    ReportFailure(message, kLevelsPage, Control::enivel);
}

void StudyWindowRules::ReportFailure(const std::string& message, int page, Control focus) {
    FlagScope scope(reporting_);
    ++failures_;
    view_.ShowMessage(message);
    if (page != kSamePage) view_.SelectPage(page);
    MoveFocus(focus);
}

bool StudyWindowRules::IsDecimalText(const std::string& text) const {
    return IsDecimal(text, host_.DecimalSeparator());
}

void StudyWindowRules::FieldEdited(Control field, std::string text) {
    SetFieldText(field, std::move(text));
    SetModified();
}

void StudyWindowRules::LevelCellEdited(int column, int row, std::string text) {
    SetLevelCell(column, row, std::move(text));
    SetModified();
}

void StudyWindowRules::ResponseCellEdited(int row, std::string text) {
    SetResponseCell(row, std::move(text));
    SetModified();
}

// ----- Blocks from and to spreadsheets -----

bool StudyWindowRules::PasteBlock(Grid grid, GridCell at, const std::string& text) {
    const GridBlock block = ParseGridBlock(text);
    const bool levels = grid == Grid::stgnivel;
    const int lastColumn = levels ? study_.LevelColumns() : 1;
    const int lastRow = levels ? 2 : study_.ResponseRows();
    const int fitRows = std::max(0, lastRow - at.row + 1);
    const int fitColumns = std::max(0, lastColumn - at.column + 1);
    if (at.row < 1 || at.column < 1 || block.Rows() > fitRows || block.Columns() > fitColumns) {
        const char* name = levels ? "la tabla de niveles" : "la captura de datos";
        ReportFailure(BlockDoesNotFit(name, block.Rows(), block.Columns(), fitRows, fitColumns),
                      kSamePage, levels ? Control::stgnivel : Control::stgdatos);
        return false;
    }
    for (int r = 0; r < block.Rows(); ++r) {
        const auto& cells = block.rows[r];
        for (int c = 0; c < static_cast<int>(cells.size()); ++c) {
            if (levels)
                SetLevelCell(at.column + c, at.row + r, cells[c]);
            else
                SetResponseCell(at.row + r, cells[c]);
        }
    }
    SetModified();
    view_.ShowStudy(study_, levels ? StudyPart::LevelsGrid : StudyPart::ResponsesGrid);
    if (!levels) host_.DataKeyTyped();
    return true;
}

std::string StudyWindowRules::CopyBlock(Grid grid, GridCell from, GridCell to) const {
    GridBlock block;
    for (int row = from.row; row <= to.row; ++row) {
        std::vector<std::string> cells;
        for (int column = from.column; column <= to.column; ++column)
            cells.push_back(grid == Grid::stgnivel ? study_.LevelCell(column, row)
                                                   : study_.ResponseCell(column, row));
        block.rows.push_back(std::move(cells));
    }
    return FormatGridBlock(block);
}

// ----- Focus -----

void StudyWindowRules::NotebookEntered(std::optional<Control> where) {
    active_ = where;
    ThojasEnter();
}

bool StudyWindowRules::FocusMoved(std::optional<Control> to) {
    return Move(to);
}

bool StudyWindowRules::LeavePage() {
    const unsigned failuresBefore = failures_;
    Move(std::nullopt);
    return failures_ == failuresBefore;
}

void StudyWindowRules::MoveFocus(Control control) {
    ++focusMoves_;
    // A check that ran on the way has put the focus elsewhere already.
    if (Move(control)) view_.SetFocus(control);
}

// The one focus algorithm. While the exit check of the control being left
// runs, that control still holds the focus: a move the check makes itself
// starts from it and does not run its exit check a second time.
bool StudyWindowRules::Move(std::optional<Control> to) {
    if (active_ == to) return true;
    const unsigned move = ++focusMoves_;
    if (active_ && !exiting_) {
        FlagScope scope(exiting_);
        RunExit(*active_);
    }
    if (focusMoves_ != move) return active_ == to; // the exit check moved the focus
    active_ = to;
    if (to) RunEnter(*to);
    return active_ == to;
}

void StudyWindowRules::RunExit(Control control) {
    switch (control) {
    case Control::ComboBox1:
        return ComboBox1Exit();
    case Control::ecanad:
        return ecanadExit();
    case Control::enivel:
        return enivelExit();
    case Control::stgnivel:
        return stgnivelExit();
    case Control::stgdatos:
        return stgdatosExit();
    default:
        return;
    }
}

void StudyWindowRules::RunEnter(Control control) {
    if (control == Control::stgnivel) stgnivelEnter();
    if (control == Control::stgdatos) stgdatosEnter();
}

void StudyWindowRules::KeyPress(Control control, char key, GridCell current) {
    switch (control) {
    case Control::esistema:
        return esistemaKeyPress(key);
    case Control::eanalista:
        return eanalistaKeyPress(key);
    case Control::efecha:
        return efechaKeyPress(key);
    case Control::epmedida:
        return epmedidaKeyPress(key);
    case Control::ecanad:
        return ecanadKeyPress(key);
    case Control::enivel:
        return enivelKeyPress(key);
    case Control::stgnivel:
        return stgnivelKeyPress(key, current);
    case Control::stgdatos:
        return stgdatosKeyPress(key, current);
    default:
        return;
    }
}

void StudyWindowRules::SetModified() {
    host_.SetEstado(kModifiedMark);
}

// ----- Page 0: general information -----

void StudyWindowRules::FormCreate() {
    if (IsInteger(study_.LevelCount)) {
        const int n = ToInteger(study_.LevelCount);
        for (int i = 1; i <= n && i <= study_.LevelColumns(); ++i)
            study_.Levels[i - 1].Heading = LevelHeading(i);
    }
    view_.SetCaption(caption_);
    view_.SetColumnWidth(Grid::stgdatos, 0, 140);
    view_.ShowStudy(study_, StudyPart::All);
}

void StudyWindowRules::ThojasEnter() {
    if (ChecksSuspended()) return;
    view_.SelectPage(kGeneralPage);
    MoveFocus(Control::esistema);
}

void StudyWindowRules::GeneralKeyPress(char key, const std::string& text, Control successor) {
    SetModified();
    if (key == kEnterKey && !text.empty()) MoveFocus(successor);
}

void StudyWindowRules::esistemaKeyPress(char key) {
    GeneralKeyPress(key, study_.MethodName, Control::eanalista);
}

void StudyWindowRules::eanalistaKeyPress(char key) {
    GeneralKeyPress(key, study_.AnalystName, Control::efecha);
}

// The Enter order runs date, units, measured property, and from there back
// to the units: Enter never reaches the calculation type.
void StudyWindowRules::efechaKeyPress(char key) {
    GeneralKeyPress(key, study_.StudyDate, Control::ecanad);
}

void StudyWindowRules::ecanadKeyPress(char key) {
    GeneralKeyPress(key, study_.AddedQuantityUnits, Control::epmedida);
}

void StudyWindowRules::epmedidaKeyPress(char key) {
    GeneralKeyPress(key, study_.MeasuredProperty, Control::ecanad);
}

void StudyWindowRules::ComboBox1Change(std::string text) {
    study_.CalculationType = std::move(text);
    SetModified();
    host_.CalculationTypeChanged();
}

void StudyWindowRules::ComboBox1Exit() {
    if (ChecksSuspended()) return;
    if (IsKnownCalculationType(study_.CalculationType)) {
        // Leaving the page's last field brings the user back to its first.
        view_.SelectPage(kGeneralPage);
        MoveFocus(Control::esistema);
        return;
    }
    ReportFailure(kSelectionMissing, kGeneralPage, Control::ComboBox1);
}

// Not a check: the heading is copied whatever moved the focus.
void StudyWindowRules::ecanadExit() {
    study_.ResponsesHeading = study_.MeasuredProperty;
    view_.ShowStudy(study_, StudyPart::ResponsesGrid);
}

// ----- Page 1: levels -----

void StudyWindowRules::enivelKeyPress(char key) {
    SetModified();
    if (key == kEnterKey && !study_.LevelCount.empty()) MoveFocus(Control::bnivel);
}

void StudyWindowRules::enivelExit() {
    if (ChecksSuspended()) return;
    const std::string& text = study_.LevelCount;
    if (text.empty()) return ReportFailure(kNoLevelCount, kSamePage, Control::enivel);
    if (!IsInteger(text)) return ReportFailure(kNotANumber, kSamePage, Control::enivel);
    if (!IsLevelCountInRange(text))
        return ReportFailure(kOutOfRangeWindow, kSamePage, Control::enivel);
    MoveFocus(Control::bnivel);
}

void StudyWindowRules::bnivelClick() {
    // A click can arrive after the exit check of the count refused it.
    if (!IsLevelCountInRange(study_.LevelCount)) return;
    const int n = ToInteger(study_.LevelCount);
    study_.SetLevelColumns(n);
    for (int i = 1; i <= n; ++i)
        study_.Levels[i - 1].Heading = LevelHeading(i);
    view_.ShowStudy(study_, StudyPart::LevelsGrid);
}

void StudyWindowRules::stgnivelEnter() {
    if (ChecksSuspended()) return;
    SuspendingErrorBox box(host_, reporting_, failures_);
    RunCommand(box, [&] {
        if (ToInteger(study_.LevelCount) != study_.LevelColumns())
            ReportFailure(kLevelColumnsMismatch, kLevelsPage, Control::enivel);
    });
}

void StudyWindowRules::stgnivelKeyPress(char key, GridCell current) {
    SetModified();
    if (current.column != study_.LevelColumns()) return;
    if (current.row != 2) {
        view_.SetGridMode(Grid::stgnivel, GridMode::Cell);
        return;
    }
    // The last cell: Enter leaves the grid, which runs its exit check.
    if (key == kEnterKey) {
        view_.SetGridMode(Grid::stgnivel, GridMode::Leave);
        MoveFocus(Control::botonr);
    }
    view_.SetGridMode(Grid::stgnivel, GridMode::Leave);
}

void StudyWindowRules::stgnivelExit() {
    if (ChecksSuspended()) return;
    view_.SetGridMode(Grid::stgnivel, GridMode::Cell);
    view_.SetCurrentCell(Grid::stgnivel, {1, 1});
    for (const StudyLevel& level : study_.Levels) {
        // Replicate counts pass here as decimal numbers; the layout of the
        // responses wants them whole.
        for (const std::string* cell : {&level.AddedQuantity, &level.ReplicateCount}) {
            if (cell->empty())
                return ReportFailure(kLevelCellMissing, kSamePage, Control::stgnivel);
            if (!IsDecimalText(*cell))
                return ReportFailure(kLevelCellNotNumber, kSamePage, Control::stgnivel);
        }
    }
    MoveFocus(Control::botonr);
}

// ----- Page 2: responses -----

void StudyWindowRules::stgdatosEnter() {
    if (ChecksSuspended()) return;
    SuspendingErrorBox box(host_, reporting_, failures_);
    RunCommand(box, [&] {
        const int n = ToInteger(study_.LevelCount);
        if (n != study_.LevelColumns())
            return ReportFailure(kLevelColumnsMismatch, kLevelsPage, Control::enivel);
        for (int i = 1; i <= n; ++i) {
            const StudyLevel& level = study_.Levels[i - 1];
            if (level.AddedQuantity.empty())
                return ReportFailure(LevelValueMissing(i), kLevelsPage, Control::stgnivel);
            if (level.ReplicateCount.empty())
                return ReportFailure(LevelReplicateMissing(i), kLevelsPage, Control::stgnivel);
        }
        // Whole, non-negative counts only, so that no row moves backwards and
        // the grid never needs more rows than a study file may hold.
        std::vector<int> counts;
        long long total = 0;
        for (int i = 1; i <= n; ++i) {
            const std::string& text = study_.Levels[i - 1].ReplicateCount;
            if (!IsInteger(text))
                return ReportFailure(ReplicateNotWhole(i), kLevelsPage, Control::stgnivel);
            const int count = ToInteger(text);
            if (count < 0)
                return ReportFailure(ReplicateNegative(i), kLevelsPage, Control::stgnivel);
            total += count;
            if (total > kMaxFileResponses)
                return ReportFailure(TooManyResponses(kMaxFileResponses), kLevelsPage,
                                     Control::stgnivel);
            counts.push_back(count);
        }
        // Relabel; each response keeps its row number, not its former label.
        study_.SetResponseRows(static_cast<int>(total));
        int offset = 0;
        for (int i = 1; i <= n; ++i) {
            for (int j = 1; j <= counts[i - 1]; ++j)
                study_.Responses[offset + j - 1].ResponseLabel = ResponseLabel(i, j);
            offset += counts[i - 1];
        }
        view_.ShowStudy(study_, StudyPart::ResponsesGrid);
        host_.DataPageEntered();
    });
}

void StudyWindowRules::stgdatosKeyPress(char key, GridCell current) {
    (void)key; // every key counts alike here
    SetModified();
    if (current.column == 1) {
        const bool lastRow = current.row == study_.ResponseRows();
        view_.SetGridMode(Grid::stgdatos, lastRow ? GridMode::Leave : GridMode::Cell);
    }
    host_.DataKeyTyped();
}

void StudyWindowRules::stgdatosExit() {
    if (ChecksSuspended()) return;
    view_.SetGridMode(Grid::stgdatos, GridMode::Cell);
    view_.SetCurrentCell(Grid::stgdatos, {1, 1});
    for (int r = 1; r <= study_.ResponseRows(); ++r) {
        const std::string& response = study_.Responses[r - 1].Response;
        if (response.empty())
            return ReportFailure(ResponseMissing(r), kDataPage, Control::stgdatos);
        if (!IsDecimalText(response))
            return ReportFailure(ResponseNotNumber(r), kSamePage, Control::stgdatos);
    }
}

void StudyWindowRules::pmnudunetClick() {
    host_.RunCalculation();
}

// ----- Closing -----

bool StudyWindowRules::FormCloseQuery() {
    if (host_.Estado() != kModifiedMark) return true;
    if (view_.AskYesNo(kSaveQuestionText, kSaveQuestionCaption)) {
        // A save that did not happen keeps the window open with its study.
        return host_.SaveStudy();
    }
    host_.SetEstado(" ");
    host_.ChangesDiscarded();
    return true;
}

void StudyWindowRules::FormClose() {
    host_.StudyWindowClosed(*this);
}

} // namespace valdex
