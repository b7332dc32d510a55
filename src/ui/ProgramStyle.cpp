#include "ui/ProgramStyle.h"

#include <QApplication>
#include <QIconEngine>
#include <QImage>
#include <QPainter>
#include <QStyleFactory>
#include <QStyleOption>
#include <QSvgRenderer>
#include <memory>

namespace scortavia {
namespace {

// Draws the picture itself at each size, so nothing depends on Qt's SVG icon plug-in being found
// beside a carried program folder. A disabled button gets the style's greyed-out version.
class SvgIconEngine final : public QIconEngine {
public:
    explicit SvgIconEngine(QString path) : path_(std::move(path)), renderer_(std::make_shared<QSvgRenderer>(path_)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        QPixmap picture = pixmap(rect.size() * ratio, mode, state);
        picture.setDevicePixelRatio(ratio);
        painter->drawPixmap(rect, picture);
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State) override {
        if (size.isEmpty() || !renderer_->isValid()) return {};
        QImage image(size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QSizeF drawn = renderer_->defaultSize();
        drawn.scale(QSizeF(size), Qt::KeepAspectRatio);
        QPainter painter(&image);
        renderer_->render(
            &painter,
            QRectF(QPointF((size.width() - drawn.width()) / 2.0, (size.height() - drawn.height()) / 2.0), drawn));
        painter.end();
        QPixmap picture = QPixmap::fromImage(image);
        if (mode != QIcon::Normal && mode != QIcon::Active) {
            const QStyleOption option;
            picture = QApplication::style()->generatedIconPixmap(mode, picture, &option);
        }
        return picture;
    }

    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override { return size; }
    QString key() const override { return QStringLiteral("scortavia_svg"); }
    QIconEngine* clone() const override { return new SvgIconEngine(*this); }
    bool isNull() override { return !renderer_->isValid(); }

private:
    QString path_;
    std::shared_ptr<QSvgRenderer> renderer_;
};

}  // namespace

ProgramStyle::ProgramStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}

QString ProgramStyle::picturePath(StandardPixmap which) {
    switch (which) {
        case SP_MessageBoxInformation:
            return QStringLiteral(":/msg_informazione.svg");
        case SP_MessageBoxWarning:
            return QStringLiteral(":/msg_attenzione.svg");
        case SP_MessageBoxCritical:
            return QStringLiteral(":/msg_errore.svg");
        case SP_MessageBoxQuestion:
            return QStringLiteral(":/msg_domanda.svg");
        // The calendar's month arrows and the file dialog's history buttons.
        case SP_ArrowLeft:
        case SP_ArrowBack:
        case SP_FileDialogBack:
            return QStringLiteral(":/dlg_indietro.svg");
        case SP_ArrowRight:
        case SP_ArrowForward:
            return QStringLiteral(":/dlg_avanti.svg");
        case SP_FileDialogToParent:
            return QStringLiteral(":/dlg_cartella_su.svg");
        case SP_FileDialogNewFolder:
            return QStringLiteral(":/dlg_cartella_nuova.svg");
        case SP_FileDialogListView:
            return QStringLiteral(":/dlg_vista_elenco.svg");
        case SP_FileDialogDetailedView:
            return QStringLiteral(":/dlg_vista_dettagli.svg");
        case SP_DirIcon:
        case SP_DirOpenIcon:
        case SP_DirClosedIcon:
        case SP_DirLinkIcon:
        case SP_DirLinkOpenIcon:
            return QStringLiteral(":/dlg_cartella.svg");
        case SP_DirHomeIcon:
            return QStringLiteral(":/dlg_home.svg");
        case SP_FileIcon:
        case SP_FileLinkIcon:
            return QStringLiteral(":/dlg_file.svg");
        case SP_DriveHDIcon:
        case SP_DriveFDIcon:
        case SP_DriveCDIcon:
        case SP_DriveDVDIcon:
        case SP_DriveNetIcon:
            return QStringLiteral(":/dlg_disco.svg");
        case SP_ComputerIcon:
            return QStringLiteral(":/dlg_computer.svg");
        default:
            return {};
    }
}

QIcon ProgramStyle::svgIcon(const QString& path) { return QIcon(new SvgIconEngine(path)); }

QIcon ProgramStyle::standardIcon(StandardPixmap which, const QStyleOption* option, const QWidget* widget) const {
    const QString path = picturePath(which);
    if (path.isEmpty()) return QProxyStyle::standardIcon(which, option, widget);
    // A file dialog asks again for every folder it lists: each picture is read once.
    auto found = icons_.find(path);
    if (found == icons_.end()) found = icons_.insert(path, svgIcon(path));
    return *found;
}

QPixmap ProgramStyle::standardPixmap(StandardPixmap which, const QStyleOption* option, const QWidget* widget) const {
    if (picturePath(which).isEmpty()) return QProxyStyle::standardPixmap(which, option, widget);
    const bool message = which == SP_MessageBoxInformation || which == SP_MessageBoxWarning ||
                         which == SP_MessageBoxCritical || which == SP_MessageBoxQuestion;
    const int size = pixelMetric(message ? PM_MessageBoxIconSize : PM_SmallIconSize, option, widget);
    return standardIcon(which, option, widget).pixmap(QSize(size, size));
}

}  // namespace scortavia
