#pragma once
// The viewer's main window: subtitle list, GSI and TTI trees, hex view, menus and settings.
// Its operations are split by responsibility over several .cpp files of this folder.

#include <QMainWindow>
#include <QMargins>
#include <QPointer>
#include <QString>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "stl/StlReader.h"

class QAction;
class QActionGroup;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QScrollBar;
class QSplitter;
class QTimer;
class QTreeWidget;
class QWidget;
class HexView;
class SubtitleListModel;
class SubtitleListView;
class FileDropFilter;
class RecentFiles;
class WheelToKeyFilter;
class SubtitlePreview;
class FindBar;
struct FormatCheck;
namespace platform {
class RegistryKey;
struct RegValue;
}  // namespace platform

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // File lifecycle.
    // A non-zero frame rate opens a non-standard file read-only (see NonStandardFile.cpp).
    bool loadFile(const QString& fileName, int nonStandardFramesPerSecond = 0);
    bool unloadFile();
    void refreshCaption();

    // Subtitle list and selection.
    void fillSubtitleList(StlReader* reader);
    void refreshSubtitleList();
    void refreshSelectedTti();
    void refreshHexViewPosition();
    // Shows the selected row's block in the TTI tree and the hex view; nothing without a row.
    void followSelectedRow();
    // Selects the row of block Block (when the list has it), scrolls to it and shows the block.
    void selectRow(int block);

    // Detail trees.
    void fillGsiTree(const GeneralSubtitleInformation& gsi);
    void fillTtiTree(StlReader* reader, std::uint32_t index);
    // Width of the detail panel that shows the trees' field names and values side by side.
    int detailPanelWidth() const;
    // Subtitle list and detail panel as a new user sees them (DetailTrees.cpp).
    void applyDefaultPanelWidths();
    // The preview pane (PreviewPane.cpp) follows the block the TTI tree shows.
    void refreshPreview(StlReader* reader, int index);
    // Edit > Copy on the subtitle list: the selected subtitle as read (SubtitleCopy.cpp).
    void copySelectedSubtitle();
    // Edit > Find, Find Next / Previous (FindCommands.cpp) and Go To (GoToCommand.cpp).
    void onFindTriggered();
    void findAgain(bool backwards);
    void onGoToTriggered();
    // Goes to what the Go To dialog names; the message that says there is none, or empty.
    QString goTo(const QString& target);
    // View > Columns (ListColumns.cpp): a column of the subtitle model's rows is shown.
    bool readingColumnShown() const;
    // Subtitles, blocks, programme duration and frame rate in the status bar (FileSummary.cpp).
    QString fileSummaryText() const;
    void refreshFileSummary();

    // Settings and the Encoding menu.
    void loadRegistrySettings();
    void saveRegistrySettings();
    void refreshEncodingMenu(std::int32_t codePage, bool automatic);
    // The code page that decodes subtitle text and GSI text now: the file's own tables when
    // Automatic is ticked and the file names them, otherwise the chosen page (GSI: the system's).
    std::uint16_t textCodePage() const;
    std::uint16_t gsiTextCodePage() const;
    QString encodingStatusText() const;
    void refreshEncodingStatus();
    // Subtitle list, trees and status after the tables changed.
    void refreshTexts();
    // After a refused open: the reason, and Open Anyway where the file can still be shown.
    void explainRefusal(const QString& fileName);
    // The Open Anyway question for a file Check found non-standard; true when it was loaded.
    bool offerOpenAnyway(const QString& fileName, const FormatCheck& check);
    // Opens a file the user chose, with the messages of a refusal; a cancelled Open Anyway
    // leaves the open file as it was.
    void openChosenFile(const QString& fileName);
    // Opens a file named outside the Open dialog (the command line) with the same messages.
    void openNamedFile(const QString& fileName);
    // Loads the open file again the way it was opened (standard, or opened anyway) and says why
    // when that is no longer possible; true when a file is loaded.
    bool reloadFile(const QString& fileName);
    void showNonStandardBanner(const QString& reason);

    // Handlers (also called directly by tests).
    void onFirstShow();
    void onClose();
    void onOpenTriggered();
    void onCloseTriggered();
    void onExitTriggered();
    void onExportTriggered();
    // File > Compare With...: the loaded file against another version (viewer/compare).
    void onCompareTriggered();
    void dropFiles(const QStringList& fileNames);
    void onSubtitleListMousePressed();
    void onSubtitleListKeyReleased();
    void onEncodingTriggered(QAction* sender);
    void onOtherCodePageTriggered();
    void onAutomaticCodePageTriggered();
    void onFontTriggered();
    void onCheckForUpdatesTriggered();
    // Tools and Help commands (ToolsCommands.cpp, HelpCommands.cpp).
    void onHexEditTriggered(int tag);
    void onValidationTriggered();
    // Tools > Repair...: fixes proposed for the loaded file, written to a new one (viewer/repair).
    void onRepairTriggered();
    void onAboutTriggered();
    void onUpdateTimer();

    // State, for the commands of other folders and for tests.
    const QString& fileName() const { return m_fileName; }
    StlReader* stlReader() const { return m_stlReader.get(); }
    HexView* hexView() const { return m_hexView.get(); }
    std::int32_t codePage() const { return m_codePage; }
    bool autoCodePage() const { return m_autoCodePage; }
    bool checkForUpdates() const { return m_checkForUpdates; }
    const std::string& validationModule() const { return m_validationModule; }
    // Block index of the selected row of the subtitle list (the row itself until the list is
    // sorted), -1 when none.
    int selectedRow() const;

    // Controls.
    SubtitleListView* m_subtitleList = nullptr;
    SubtitleListModel* m_listModel = nullptr;
    QTreeWidget* m_gsiTree = nullptr;
    QTreeWidget* m_ttiTree = nullptr;
    QPlainTextEdit* m_hexText = nullptr;
    QScrollBar* m_hexScrollBar = nullptr;
    QWidget* m_hexPanel = nullptr;
    QWidget* m_listPanel = nullptr;
    QWidget* m_detailPanel = nullptr;
    QSplitter* m_mainSplitter = nullptr;
    QSplitter* m_treeSplitter = nullptr;
    QTimer* m_updateTimer = nullptr;
    int m_updateTimerTag = 0;
    QAction* m_openAction = nullptr;
    QAction* m_closeAction = nullptr;
    QAction* m_exportAction = nullptr;
    QAction* m_compareAction = nullptr;
    QAction* m_exitAction = nullptr;
    QAction* m_fontAction = nullptr;
    QMenu* m_encodingMenu = nullptr;
    QActionGroup* m_encodingGroup = nullptr;
    QAction* m_automaticEncodingAction = nullptr;
    QAction* m_otherEncodingAction = nullptr;
    QAction* m_hexEditGsiAction = nullptr;
    QAction* m_hexEditTtiAction = nullptr;
    QAction* m_validationAction = nullptr;
    QAction* m_repairAction = nullptr;
    QAction* m_checkForUpdatesAction = nullptr;
    QAction* m_aboutAction = nullptr;
    QMenu* m_listContextMenu = nullptr;
    RecentFiles* m_recentFiles = nullptr;
    SubtitlePreview* m_preview = nullptr;
    QAction* m_previewAction = nullptr;
    QAction* m_copyAction = nullptr;
    QAction* m_findAction = nullptr;
    QAction* m_findNextAction = nullptr;
    QAction* m_findPreviousAction = nullptr;
    QAction* m_goToAction = nullptr;
    FindBar* m_findBar = nullptr;
    QMenu* m_columnsMenu = nullptr;
    // View > Columns items, by column from SubtitleListModel::firstFactColumn.
    std::vector<QAction*> m_columnActions;
    QLabel* m_fileSummary = nullptr;

    // The validation plug-in, looked for beside the program.
    static constexpr const char* pluginFileName = "Sievra.zkx";
    // Designed client size of the window.
    static constexpr int designedClientWidth = 958;
    static constexpr int designedClientHeight = 726;

protected:
    void setVisible(bool visible) override;
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void createControls();
    void createMenus();
    void createEncodingMenu(QMenu* options);
    void createPreviewPane(QMenu* view);
    void createEditMenu();
    void createFindBar(QWidget* central);
    void createColumnsMenu(QMenu* view);
    void loadColumnSettings(const platform::RegistryKey& key);
    void addColumnSettings(std::vector<std::pair<std::string, platform::RegValue>>& values);
    void loadExportSettings(const platform::RegistryKey& key);
    void addExportSettings(std::vector<std::pair<std::string, platform::RegValue>>& values);
    void loadPreviewSettings(const platform::RegistryKey& key);
    // Gives the preview the stored height while the splitter has a size and the pane is shown.
    void applyStoredPreviewHeight();
    void addPreviewSettings(std::vector<std::pair<std::string, platform::RegValue>>& values);
    void clearDetails();
    void findValidationModule();
    // Centres the window on its screen (first run, or a stored place no screen shows).
    void centreWindow();
    // Applies stored outer window sizes: before showing as if there were no frame, then once more
    // when the window system has told the frame.
    void applyStoredOuterSize();
    // Notes the frame of the window in its normal state, once the window system has told it.
    void noteFrame();
    // The outer geometry of the window in its normal state, also while maximised.
    QRect normalOuterGeometry() const;

    QString m_fileName;
    std::unique_ptr<StlReader> m_stlReader;
    std::unique_ptr<HexView> m_hexView;
    bool m_checkForUpdates = true;
    std::int32_t m_codePage = 0;
    bool m_autoCodePage = true;  // a new user sees each file in its own tables
    QLabel* m_encodingStatus = nullptr;
    QLabel* m_nonStandardBanner = nullptr;
    // The stored preview height, kept until the user drags the pane's edge (0: none).
    int m_storedPreviewHeight = 0;
    // The frame rate a file opened anyway was loaded with; 0 for a standard file.
    int m_nonStandardFramesPerSecond = 0;
    std::string m_validationModule;
    std::uint32_t m_listFontColor;  // colour value of the "ListView Font" record
    // The face the "ListView Font" record names; the list shows it, or a fixed-pitch stand-in
    // where it is not installed, and the record keeps it until the user chooses another.
    QFont m_listFontWanted;

    FileDropFilter* m_dropFilter = nullptr;
    WheelToKeyFilter* m_wheelFilter = nullptr;
    bool m_shown = false;
    bool m_closed = false;
    // Stored outer sizes not yet applied with the frame known (0: none).
    int m_storedOuterWidth = 0;
    int m_storedOuterHeight = 0;
    QPoint m_storedPlace;
    bool m_hasStoredPlace = false;
    QMargins m_normalFrame;
    bool m_frameKnown = false;
    // File > Export choices, kept in the settings (ExportCommand.cpp).
    int m_exportFormat = 0;     // index of the save dialog's type: srt, vtt, xml, txt
    int m_exportCodePage = -1;  // a code page, or exportListCodePage / exportFileCodePage
    bool m_exportComments = false;
    bool m_exportFromProgrammeStart = false;
};
