#include "common/navigator.h"

#include "data/datasource.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>

namespace tvx {

DataNavigator::DataNavigator(QWidget *parent) : QWidget(parent), caption_(new QLabel(this))
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto button = [this, layout](const QString &text, const QString &name, auto move) {
        auto *b = new QToolButton(this);
        b->setText(text);
        b->setObjectName(name);
        b->setAutoRaise(false);
        connect(b, &QToolButton::clicked, this, [this, move] {
            if (source_ && source_->recordCount() > 0) {
                move(*source_);
                const data::Error error = source_->lastError();
                if (error && error.code != data::ErrorCode::NoCurrentRecord)
                    Q_EMIT moveFailed(error);
            }
        });
        layout->addWidget(b);
        arrows_ << b;
        return b;
    };
    button(QStringLiteral("|◀"), QStringLiteral("first"), [](data::DataSource &ds) { ds.moveFirst(); });
    button(QStringLiteral("◀"), QStringLiteral("previous"), [](data::DataSource &ds) {
        if (ds.movePrevious() && ds.bof())
            ds.moveFirst();
    });
    caption_->setFrameShape(QFrame::Panel);
    caption_->setFrameShadow(QFrame::Sunken);
    caption_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    caption_->setTextFormat(Qt::PlainText);
    layout->addWidget(caption_, 1);
    button(QStringLiteral("▶"), QStringLiteral("next"), [](data::DataSource &ds) {
        if (ds.moveNext() && ds.eof())
            ds.moveLast();
    });
    button(QStringLiteral("▶|"), QStringLiteral("last"), [](data::DataSource &ds) { ds.moveLast(); });
}

void DataNavigator::setDataSource(data::DataSource *source) { source_ = source; }

void DataNavigator::setCaption(const QString &caption) { caption_->setText(caption); }

QString DataNavigator::caption() const { return caption_->text(); }

void DataNavigator::coverArrows(QWidget *first, QWidget *previous, QWidget *next, QWidget *last)
{
    auto *row = static_cast<QHBoxLayout *>(layout());
    const QList<QWidget *> covers{first, previous, next, last};
    for (int i = 0; i < arrows_.size(); ++i) {
        const int at = row->indexOf(arrows_[i]);
        arrows_[i]->hide();
        covers[i]->setParent(this);
        covers[i]->setMinimumWidth(arrows_[i]->sizeHint().width());
        row->insertWidget(at, covers[i]);
    }
}

}  // namespace tvx
