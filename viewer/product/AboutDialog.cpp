#include "AboutDialog.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QUrl>
#include <memory>

#include "LumtraceBuildConfig.h"
#include "platform/Guarded.h"
#include "viewer/UserInteraction.h"

// The banner lives in a static library; its resources register only when asked to.
static void initProductResources() {
    Q_INIT_RESOURCE(product);
}

namespace {

constexpr int kTextLeft = 27;

QLabel* textLine(QWidget* parent, const char* name, int top, const QColor& colour) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setGeometry(kTextLeft, top, 340 - kTextLeft - 8, 16);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    return label;
}

QLabel* linkLine(QWidget* parent, const char* name, int top, const QString& text) {
    QLabel* label = textLine(parent, name, top, Qt::blue);
    label->setText(text);
    label->setCursor(Qt::PointingHandCursor);
    return label;
}

}  // namespace

AboutDialog::AboutDialog(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                         Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
    initProductResources();
    setFixedSize(340, 225);

    auto* top = new QWidget(this);
    top->setObjectName("pnTop");
    top->setGeometry(0, 0, 340, 155);
    top->setAutoFillBackground(true);
    QPalette palette = top->palette();
    palette.setColor(QPalette::Window, Qt::white);
    top->setPalette(palette);
    QFont font("Verdana");
    font.setPointSize(8);
    top->setFont(font);

    lbProduct = textLine(top, "lbProduct", 16, Qt::black);
    lbVersion = textLine(top, "lbVersion", 35, Qt::black);
    lbNotice = textLine(top, "lbNotice", 54, Qt::black);
    lbNotice2 = textLine(top, "lbNotice2", 73, Qt::black);
    lbNotice2->setText(tr("Provided as is, without warranty of any kind."));
    lbLink = linkLine(top, "lbLink", 100, QStringLiteral(LUMTRACE_WEB_SITE));
    lbMail = linkLine(top, "lbMail", 119, QStringLiteral("Mail: ") + LUMTRACE_MAIL);
    lbLink->installEventFilter(this);
    lbMail->installEventFilter(this);

    imBanner = new QLabel(this);
    imBanner->setObjectName("imBanner");
    imBanner->setGeometry(0, 155, 340, 72);
    imBanner->setPixmap(QPixmap(":/product/VantorelBanner.png"));

    btOK = new QPushButton(tr("OK"), this);
    btOK->setObjectName("btOK");
    btOK->setGeometry(257, 181, 75, 25);
    btOK->setDefault(true);
    connect(btOK, &QPushButton::clicked, this, &QDialog::accept);
}

bool AboutDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        if (watched == lbLink) lbLinkClick();
        if (watched == lbMail) lbMailClick();
    }
    return QDialog::eventFilter(watched, event);
}

// A failing open is not reported: the user sees that nothing opened.
void AboutDialog::lbLinkClick() {
    userInteraction().openUrl(QUrl(QStringLiteral(LUMTRACE_WEB_SITE)));
}

void AboutDialog::lbMailClick() {
    userInteraction().openUrl(QUrl(QStringLiteral("mailto:") + LUMTRACE_MAIL));
}

void showAbout(const QString& productName, const QString& version, const QString& year,
               QWidget* owner) {
    platform::guardedVoid("ShowAbout", [&] {
        auto form = std::make_unique<AboutDialog>(owner ? owner : QApplication::activeWindow());
        form->setWindowTitle(productName);
        form->lbProduct->setText(productName);
        form->lbVersion->setText(version);
        form->lbNotice->setText(QStringLiteral("Copyright \u00a9 %1 Vantorel").arg(year));
        form->exec();
    });
}
