#pragma once
// The study window (the design's TFinforma): the notebook of three pages that holds one
// calibration study. The window draws the study its rules own and forwards
// every key, edit, click and focus change to them; the rules decide.

#include "app/child_window.h"
#include "study/study_window_view.h"

#include <QHash>

#include <memory>
#include <optional>

class QAction;
class QComboBox;
class QKeyEvent;
class QLineEdit;
class QMenu;
class QPushButton;
class QTabWidget;

namespace valdex {

class DialogService;
class StudyGrid;
class StudyWindowRules;

class StudyWindow : public ChildWindow, public StudyWindowView {
    Q_OBJECT
public:
    static constexpr int kHelpContext = 2;

    StudyWindow(DialogService& dialogs, StudyHost& host, QWidget* parent = nullptr);
    ~StudyWindow() override;

    StudyWindowRules& Rules() { return *rules_; }
    // The popup item of the responses grid, switched with the Calculate group.
    QAction* pmnudunet() const { return pmnudunet_; }
    QWidget* ControlWidget(Control control) const;
    QTabWidget* Thojas() const { return thojas_; }
    StudyGrid* stgnivel() const { return stgnivel_; }
    StudyGrid* stgdatos() const { return stgdatos_; }

    // StudyWindowView
    void ShowMessage(const std::string& text) override;
    bool AskYesNo(const std::string& text, const std::string& caption) override;
    void SelectPage(int page) override;
    void SetFocus(Control control) override;
    void SetGridMode(Grid grid, GridMode mode) override;
    void SetCurrentCell(Grid grid, GridCell cell) override;
    void SetColumnWidth(Grid grid, int column, int pixels) override;
    void ShowStudy(const CalibrationStudy& study, StudyPart part) override;
    void SetCaption(const std::string& caption) override;

protected:
    bool FormCloseQuery() override;
    void FormClose() override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    // The field whose label has the access key of `event`, when it is shown.
    QWidget* AccessKeyTarget(const QKeyEvent& event) const;

private:
    QWidget* BuildGeneralPage();
    QWidget* BuildLevelsPage();
    QWidget* BuildDataPage();
    // The popup menu of the responses grid at a point of its viewport.
    void ShowDataMenu(QPoint viewportPos);
    // Blocks pasted into and copied from a grid go through the rules.
    void ConnectBlocks(StudyGrid* grid, valdex::Grid which);
    QLineEdit* AddField(Control control, const char* objectName, const QString& label,
                        QWidget* page);
    void Register(Control control, QWidget* widget, int page);
    StudyGrid* Grid(valdex::Grid grid) const;

    // Forwarding. Nothing reaches the rules once the window has closed.
    bool Live() const { return rules_ && !IsClosed(); }
    // False when the handler ended through the general error handler.
    template <class Handler> bool Forward(Handler&& handler);
    void FieldKeyPress(Control control, char key);
    void FieldEdited(Control control, const QString& text);
    void ComboTextChanged(const QString& text);
    void LevelKeyTyped(QChar key, GridCell current);
    void DataKeyTyped(QChar key, GridCell current);

    // Focus moves of the user go to the rules; window activation is not one.
    void OnFocusChanged(QWidget* old, QWidget* now);
    std::optional<Control> ControlOf(QWidget* widget) const;
    // A click on another tab or Ctrl+PgDown/PgUp first runs the exit check
    // of the control being left; false (keep the page) when a check failed.
    bool LeaveForAnotherPage();
    void SwitchPage(int page);

    DialogService& dialogs_;
    StudyHost& host_;
    std::unique_ptr<StudyWindowRules> rules_;

    QTabWidget* thojas_ = nullptr;
    StudyGrid* stgnivel_ = nullptr;
    StudyGrid* stgdatos_ = nullptr;
    QComboBox* combo_ = nullptr;
    QMenu* pmenu_ = nullptr;
    QAction* pmnudunet_ = nullptr;
    QHash<Control, QWidget*> controls_;
    QHash<QWidget*, Control> controlOfWidget_;
    QHash<Control, int> pageOf_;
    QHash<QChar, QWidget*> accessKeys_;

    bool notebookEntered_ = false;
    bool redrawing_ = false;     // writes of ShowStudy are not user edits
    bool switchingPage_ = false; // focus moves of a page change are not the user's
};

} // namespace valdex
