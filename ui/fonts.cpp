#include "ui/fonts.h"

#include <QFrame>
#include <QStringList>

namespace ui {

namespace {

// The faces asked for, then the nearest ones a Debian desktop has (the
// AR PL faces of fonts-arphic-ukai and fonts-arphic-uming).
const QStringList& KaiFamilies()
{
    static const QStringList families{
        QStringLiteral("楷体"),          QStringLiteral("KaiTi"),
        QStringLiteral("AR PL UKai CN"), QStringLiteral("AR PL UKai TW"),
        QStringLiteral("AR PL UKai HK"),
    };
    return families;
}

const QStringList& SongFamilies()
{
    static const QStringList families{
        QStringLiteral("SimSun"),         QStringLiteral("宋体"),
        QStringLiteral("AR PL UMing CN"), QStringLiteral("AR PL UMing TW"),
        QStringLiteral("AR PL UMing HK"),
    };
    return families;
}

// A character height in pixels is the font's pixel size.
QFont MakeFont(const QStringList& families, int pixels)
{
    QFont font;
    font.setFamilies(families);
    font.setPixelSize(pixels);
    font.setWeight(QFont::Normal);
    font.setStyleHint(QFont::Serif);
    return font;
}

}  // namespace

QFont EntryListFont()
{
    return MakeFont(KaiFamilies(), 19);
}

QFont ContentBoxFont()
{
    return MakeFont(KaiFamilies(), 20);
}

QFont FolderTabsFont()
{
    return MakeFont(SongFamilies(), 12);
}

QFont RenameBoxFont()
{
    return MakeFont(SongFamilies(), 20);
}

void ApplyTextBoxLook(QFrame& box)
{
    QPalette colours = box.palette();
    colours.setColor(QPalette::Text, kTextColour);
    colours.setColor(QPalette::Base, Qt::white);
    colours.setColor(QPalette::Window, Qt::white);
    colours.setColor(QPalette::Inactive, QPalette::Highlight, Qt::white);
    colours.setColor(QPalette::Inactive, QPalette::HighlightedText, kTextColour);
    box.setPalette(colours);
    box.setFrameShape(QFrame::Box);
    box.setFrameShadow(QFrame::Plain);
    box.setLineWidth(1);
}

}  // namespace ui
