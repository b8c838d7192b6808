#include "TfmImportNotes.h"

#include "Pictures.h"

#include <QLabel>
#include <QListWidget>
#include <QToolButton>

namespace {

constexpr QSize kClientSize(520, 300);
constexpr int kMargin = 8;
constexpr int kCaptionHeight = 18;
constexpr int kButtonHeight = 22;

} // namespace

TfmImportNotes::TfmImportNotes(const QString& fileName, const QStringList& notes, QWidget* parent)
    : ClassicDialog("fmImportNotes", QStringLiteral("Импорт: что не перенесено"), kClientSize,
                    parent)
{
    auto* caption =
        new QLabel(QStringLiteral("Из файла «%1» не перенесено в план:").arg(fileName), this);
    caption->setGeometry(kMargin, kMargin, kClientSize.width() - 2 * kMargin, kCaptionHeight);

    lbNotes = new QListWidget(this);
    lbNotes->setObjectName(QStringLiteral("lbNotes"));
    lbNotes->addItems(notes);
    const int top = kMargin + kCaptionHeight + 4;
    lbNotes->setGeometry(kMargin, top, kClientSize.width() - 2 * kMargin,
                         kClientSize.height() - top - 2 * kMargin - kButtonHeight);
    caption->setBuddy(lbNotes);

    QToolButton* close = addPictureButton(
        "sbClose", Picture::Accept, QStringLiteral("Закрыть"),
        QPoint(kClientSize.width() - kMargin - 23, kClientSize.height() - kMargin - kButtonHeight));
    connect(close, &QToolButton::clicked, this, [this] {
        setTag(1);
        accept();
    });
}
