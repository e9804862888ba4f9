#pragma once
// The viewer's main window: subtitle list, GSI and TTI trees, hex view, menus and settings.
// Its operations are split by responsibility over several .cpp files of this folder.

#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <cstdint>
#include <memory>
#include <string>

#include "stl/STLReader.h"

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
class THexView;
class TSubtitleListModel;
class TSubtitleListView;
class TFileDropFilter;
class TWheelToKeyFilter;

class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    explicit TForm1(QWidget* Parent = nullptr);
    ~TForm1() override;

    // File lifecycle.
    bool LoadFile(const QString& FileName);
    bool UnloadFile();
    void RefreshCaption();

    // Subtitle list and selection.
    void UpdateListView_TTI(TSTLReader* Reader);
    void RefreshListView();
    void RefreshSelectedTTI();
    void RefreshHexViewPosition();

    // Detail trees.
    void UpdateTreeView_GSI(const TGeneralSubtitleInformation& GSI);
    void UpdateTreeView_TTI(TSTLReader* Reader, std::uint32_t Index);

    // Settings and the Encoding menu.
    void LoadRegistrySettings();
    void SaveRegistrySettings();
    void RefreshEncodingMenu(std::int32_t CodePage, bool Automatic);

    // Handlers (also called directly by tests).
    void FormShow();
    void FormClose();
    void Open1Click();
    void Close1Click();
    void Exit1Click();
    void DropFiles(const QStringList& FileNames);
    void ListView1MouseDown();
    void ListView1KeyUp();
    void GeneralEncodingClick(QAction* Sender);
    void Otherentercodepagemanually1Click();
    void AutomaticfromGSIblock1Click();
    void Font1Click();
    void CheckForUpdates1Click();
    // Tools and Help commands (ToolsCommands.cpp, HelpCommands.cpp).
    void HexEditClick(int Tag);
    void Validation1Click();
    void About1Click();
    void tmUpdateTimer();

    // State, for the commands of other folders and for tests.
    const QString& FileName() const { return FFileName; }
    TSTLReader* STLReader() const { return FSTLReader.get(); }
    THexView* HexView() const { return FHexView.get(); }
    std::int32_t CodePage() const { return FCodePage; }
    bool AutoCodePage() const { return FAutoCodePage; }
    bool CheckForUpdates() const { return FCheckForUpdates; }
    const std::string& ValidationModule() const { return FValidationModule; }
    // Selected row of the subtitle list, -1 when none.
    int SelectedRow() const;

    // Controls.
    TSubtitleListView* ListView1 = nullptr;
    TSubtitleListModel* ListModel = nullptr;
    QTreeWidget* TreeView1 = nullptr;
    QTreeWidget* TreeView2 = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    QScrollBar* ScrollBar2 = nullptr;
    QWidget* Panel1 = nullptr;
    QWidget* Panel2 = nullptr;
    QWidget* Panel3 = nullptr;
    QSplitter* Splitter1 = nullptr;
    QSplitter* Splitter2 = nullptr;
    QTimer* tmUpdate = nullptr;
    int tmUpdateTag = 0;
    QAction* Open1 = nullptr;
    QAction* Close1 = nullptr;
    QAction* Exit1 = nullptr;
    QAction* Font1 = nullptr;
    QMenu* Encoding1 = nullptr;
    QActionGroup* EncodingGroup = nullptr;
    QAction* AutomaticfromGSIblock1 = nullptr;
    QAction* Otherentercodepagemanually1 = nullptr;
    QAction* HexEditGSI1 = nullptr;
    QAction* HexEditSelectedTTI1 = nullptr;
    QAction* Validation1 = nullptr;
    QAction* CheckForUpdates1 = nullptr;
    QAction* About1 = nullptr;
    QMenu* PopupMenu1 = nullptr;

    // Designed client size of the window.
    static constexpr int DesignedClientWidth = 958;
    static constexpr int DesignedClientHeight = 726;

protected:
    void setVisible(bool Visible) override;
    void closeEvent(QCloseEvent* Event) override;

private:
    void CreateControls();
    void CreateMenus();
    void CreateEncodingMenu(QMenu* Options);
    void ClearDetails();
    void FindValidationModule();
    // Centres the window on its screen (first run, or a stored place no screen shows).
    void CentreWindow();
    // Applies stored outer window sizes once the frame is known.
    void ApplyStoredOuterSize();

    QString FFileName;
    std::unique_ptr<TSTLReader> FSTLReader;
    std::unique_ptr<THexView> FHexView;
    bool FCheckForUpdates = true;
    std::int32_t FCodePage = 0;
    bool FAutoCodePage = false;
    std::string FValidationModule;
    std::uint32_t FListFontColor;  // colour value of the "ListView Font" record

    TFileDropFilter* FDropFilter = nullptr;
    TWheelToKeyFilter* FWheelFilter = nullptr;
    bool FShown = false;
    bool FClosed = false;
    int FStoredOuterWidth = 0;
    int FStoredOuterHeight = 0;
};
