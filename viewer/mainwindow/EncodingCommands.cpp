// Options → Font, Options → Encoding and Help → Check For Updates.

#include <QAction>
#include <QActionGroup>

#include "CodePageForm.h"
#include "EncodingMenu.h"
#include "SubtitleListView.h"
#include "Unit1.h"
#include "platform/Guarded.h"
#include "viewer/UserInteraction.h"

void TForm1::RefreshEncodingMenu(std::int32_t CodePage, bool Automatic) {
    if (Automatic) {
        AutomaticfromGSIblock1->setChecked(true);
        return;
    }
    for (QAction* Item : EncodingGroup->actions()) {
        const int Tag = Item->data().toInt();
        if (Tag >= 0 && Tag == CodePage) {
            Item->setChecked(true);
            return;
        }
    }
    Otherentercodepagemanually1->setChecked(true);
}

void TForm1::GeneralEncodingClick(QAction* Sender) {
    platform::guardedVoid("TForm1.GeneralEncodingClick", [&] {
        FCodePage = Sender->data().toInt();
        RefreshListView();
        RefreshEncodingMenu(FCodePage, FAutoCodePage);
    });
}

void TForm1::Otherentercodepagemanually1Click() {
    platform::guardedVoid("TForm1.Otherentercodepagemanually1Click", [&] {
        GetEncoding(FCodePage, this);
        RefreshListView();
        RefreshEncodingMenu(FCodePage, FAutoCodePage);
    });
}

// The item is hidden; the stored flag only decides which item is ticked.
void TForm1::AutomaticfromGSIblock1Click() {
    RefreshEncodingMenu(FCodePage, FAutoCodePage);
}

void TForm1::Font1Click() {
    platform::guardedVoid("TForm1.Font1Click", [&] {
        if (const auto Font = userInteraction().chooseFont(this, ListView1->font()))
            ListView1->setFont(*Font);
    });
}

void TForm1::CheckForUpdates1Click() {
    FCheckForUpdates = !FCheckForUpdates;
    CheckForUpdates1->setChecked(FCheckForUpdates);
}
