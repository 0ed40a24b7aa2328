#include "ui/demo_gallery.h"

#include <QFont>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QProcess>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace quorrel {
namespace {

// The scene's design picture is 700 x 420: 5:3.
constexpr double PICTURE_RATIO = 3.0 / 5.0;
// Space around a picture inside its cell, and between the title lines.
constexpr int CELL_PAD = 10;
constexpr double LINE_SPACING = 1.35;
// The heading takes this many title heights.
constexpr double HEADING_LINES = 1.8;

int title_px_for(QSize area) {
    // 27 px on a 1080-line projector; never below a comfortable 16 px.
    return std::max(16, area.height() / 40);
}

int heading_height(int title_px) {
    return static_cast<int>(std::lround(title_px * HEADING_LINES));
}

}  // namespace

GalleryGrid gallery_grid(QSize area, int count) {
    GalleryGrid best;
    best.title_px = title_px_for(area);
    const int title_h = static_cast<int>(std::ceil(2 * LINE_SPACING * best.title_px));
    const int height = std::max(1, area.height() - heading_height(best.title_px));
    // A vertical scroll bar, should one show, and rounding keep some of the width.
    const int width = std::max(1, area.width() - 24);
    count = std::max(1, count);
    // The column count that gives the largest pictures with every demo in sight.
    for (int columns = 1; columns <= count; ++columns) {
        const int rows = (count + columns - 1) / columns;
        const int cell_w = width / columns, cell_h = height / rows;
        int pic_w = cell_w - 2 * CELL_PAD;
        int pic_h = static_cast<int>(pic_w * PICTURE_RATIO);
        if (pic_h > cell_h - title_h - 2 * CELL_PAD) {
            pic_h = cell_h - title_h - 2 * CELL_PAD;
            pic_w = static_cast<int>(pic_h / PICTURE_RATIO);
        }
        if (pic_w <= best.picture.width()) continue;
        best.columns = columns;
        best.rows = rows;
        best.cell = QSize(cell_w, cell_h);
        best.picture = QSize(pic_w, pic_h);
    }
    return best;
}

DemoGallery::DemoGallery(std::vector<GalleryEntry> entries, QWidget* parent)
    : QWidget(parent), entries_(std::move(entries)) {
    setWindowTitle(QStringLiteral("Quorrel 演示实验"));
    setObjectName(QStringLiteral("demoGallery"));
    setAttribute(Qt::WA_StyledBackground);
    setStyleSheet(
        QStringLiteral("#demoGallery, QListWidget { background: #10141c; color: white; border: none; }"
                       "QListWidget::item:selected, QListWidget::item:hover { background: #28406a; }"
                       "QLabel { color: #d0d8e8; }"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    heading_ = new QLabel(QStringLiteral("请选择一个演示实验（单击打开，关闭实验后回到这里；Esc 退出）"));
    heading_->setAlignment(Qt::AlignCenter);
    layout->addWidget(heading_);
    list_ = new QListWidget;
    list_->setViewMode(QListView::IconMode);
    list_->setFlow(QListView::LeftToRight);
    list_->setWrapping(true);
    list_->setMovement(QListView::Static);
    list_->setResizeMode(QListView::Adjust);
    list_->setWordWrap(true);
    list_->setTextElideMode(Qt::ElideNone);
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    list_->setFrameShape(QFrame::NoFrame);
    list_->setMouseTracking(true);
    for (const GalleryEntry& e : entries_) {
        QIcon icon(e.picture);
        icon.addPixmap(e.picture, QIcon::Selected);  // a chosen picture keeps its colours
        icon.addPixmap(e.picture, QIcon::Active);
        auto* item = new QListWidgetItem(icon, e.title);
        item->setTextAlignment(Qt::AlignHCenter | Qt::AlignTop);
        list_->addItem(item);
    }
    if (!entries_.empty()) list_->setCurrentRow(0);
    layout->addWidget(list_, 1);
    // One click opens a demo: a class watches a teacher, not a double click.
    // Enter (and, with a style that activates on one click, that click) comes
    // as an activation; a click is taken apart only where it is not one, so
    // no demo opens twice.
    const auto choose = [this](QListWidgetItem* item) {
        if (on_chosen) on_chosen(list_->row(item));
    };
    connect(list_, &QListWidget::itemActivated, this, choose);
    if (!list_->style()->styleHint(QStyle::SH_ItemView_ActivateItemOnSingleClick, nullptr, list_))
        connect(list_, &QListWidget::itemClicked, this, choose);
    lay_out();
}

void DemoGallery::lay_out() {
    grid_ = gallery_grid(size(), static_cast<int>(entries_.size()));
    QFont title = font();
    title.setPixelSize(grid_.title_px);
    list_->setFont(title);
    heading_->setFont(title);
    heading_->setFixedHeight(heading_height(grid_.title_px));
    list_->setIconSize(grid_.picture);
    list_->setGridSize(grid_.cell);
    // Every item fills its cell, so a long title has room for its second line.
    const QSize item = grid_.cell - QSize(CELL_PAD, CELL_PAD);
    for (int i = 0; i < list_->count(); ++i) list_->item(i)->setSizeHint(item);
    list_->setSpacing(0);
}

void DemoGallery::show_full_screen() {
    if (const QScreen* screen = this->screen()) setGeometry(screen->geometry());
    showFullScreen();
    raise();
    activateWindow();
}

bool DemoGallery::run_instead(const QString& program, const QStringList& arguments) {
    auto* child = new QProcess(this);
    child->setProcessChannelMode(QProcess::ForwardedChannels);
    child->start(program, arguments);
    if (!child->waitForStarted()) {
        delete child;
        return false;
    }
    connect(child, &QProcess::finished, this, [this, child] {
        child->deleteLater();
        show_full_screen();
    });
    hide();
    return true;
}

void DemoGallery::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    lay_out();
}

void DemoGallery::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

}  // namespace quorrel
