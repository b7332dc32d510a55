#pragma once

#include <QHash>
#include <QIcon>
#include <QProxyStyle>
#include <QString>

namespace scortavia {

// Fusion with the program's own pictures where Qt would draw its stock icons: the kinds of message,
// the calendar's month arrows, and the file dialog's toolbar, folders and files. Anything else is
// Fusion's own.
class ProgramStyle final : public QProxyStyle {
public:
    ProgramStyle();

    QIcon standardIcon(StandardPixmap which, const QStyleOption* option = nullptr,
                       const QWidget* widget = nullptr) const override;
    QPixmap standardPixmap(StandardPixmap which, const QStyleOption* option = nullptr,
                           const QWidget* widget = nullptr) const override;

    // The resource holding the program's picture for `which`; empty where Fusion's is kept.
    static QString picturePath(StandardPixmap which);

    // An icon drawn from an SVG picture at whatever size it is asked for, sharp at every size.
    static QIcon svgIcon(const QString& path);

private:
    mutable QHash<QString, QIcon> icons_;
};

}  // namespace scortavia
