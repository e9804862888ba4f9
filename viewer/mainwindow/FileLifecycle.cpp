// Opening, loading, unloading and closing files in the main window.

#include <QFileInfo>
#include <QPlainTextEdit>
#include <QTreeWidget>

#include "SubtitleListModel.h"
#include "SubtitleListView.h"
#include "Unit1.h"
#include "WaitCursor.h"
#include "platform/Guarded.h"
#include "viewer/UserInteraction.h"
#include "viewer/hex/HexViewUtils_Memo.h"

namespace {

bool IsExistingFile(const QString& Name) {
    return QFileInfo(Name).isFile();
}

}  // namespace

void TForm1::ClearDetails() {
    if (FHexView)
        FHexView->CloseFile();
    else
        Memo1->clear();
    TreeView1->clear();
    TreeView2->clear();
}

bool TForm1::LoadFile(const QString& FileName) {
    return platform::guarded("TForm1.LoadFile", false, [&] {
        ClearDetails();
        FFileName = FileName;
        FSTLReader.reset();
        const std::string Path = QFile::encodeName(FFileName).toStdString();

        if (!IsSTLFile(Path, true)) {
            // A file that is not STL leaves the window in the state without a file: the rows and
            // the caption of an earlier file would otherwise suggest it is still loaded.
            FFileName.clear();
            ListModel->Clear();
            ClearDetails();
            RefreshCaption();
            ListView1->viewport()->update();
            return false;
        }
        RefreshCaption();

        FSTLReader = std::make_unique<TSTLReader>(TSTLVariant::Viewer);
        if (FSTLReader->OpenFile(Path, true) != S_OK) {
            userInteraction().showMessage(this, QStringLiteral("Cannot load file."));
            return false;
        }
        PGeneralSubtitleInformation GSI = nullptr;
        if (FSTLReader->GetGeneralSubtitleInformation(&GSI) != S_OK || !GSI) {
            userInteraction().showMessage(this, QStringLiteral("Cannot load GSI."));
            return false;
        }
        UpdateTreeView_GSI(*GSI);
        RefreshListView();

        FHexView = std::make_unique<THexView>();
        FHexView->Init(Memo1, ScrollBar2);
        FHexView->OpenFile(Path);
        ListView1->viewport()->update();
        return true;
    });
}

bool TForm1::UnloadFile() {
    return platform::guarded("TForm1.UnloadFile", false, [&] {
        FFileName.clear();
        FSTLReader.reset();
        RefreshCaption();
        ListView1->viewport()->update();
        ClearDetails();
        return true;
    });
}

void TForm1::Open1Click() {
    platform::guardedVoid("TForm1.Open1Click", [&] {
        const QString Name = userInteraction().getOpenFileName(
            this, QString(), QString(), QStringLiteral("EBU STL Files (*.stl);;All Files (*)"));
        if (Name.isEmpty() || !IsExistingFile(Name)) return;
        TWaitCursor Wait;
        if (!LoadFile(Name))
            userInteraction().showMessage(this, QStringLiteral("Not valid EBU STL file"));
    });
}

void TForm1::Close1Click() {
    platform::guardedVoid("TForm1.Close1Click", [&] {
        UnloadFile();
        ListModel->Clear();
    });
}

void TForm1::Exit1Click() {
    close();
}

void TForm1::DropFiles(const QStringList& FileNames) {
    platform::guardedVoid("TForm1.WMDROPFILES", [&] {
        TWaitCursor Wait;
        for (const QString& Name : FileNames) {
            if (!IsExistingFile(Name)) continue;
            UnloadFile();
            LoadFile(Name);
        }
    });
}
