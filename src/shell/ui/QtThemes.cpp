#include "shell/ui/QtThemes.h"

#include "shell/ThemeCatalog.h"

#include <QApplication>
#include <QColor>
#include <QStyle>
#include <QStyleFactory>

#include <memory>

namespace orvane {

namespace {

// The handful of colours a theme is made of; the palette derives the rest.
struct Scheme {
    const char* window;
    const char* text;
    const char* base;
    const char* alternate;
    const char* button;
    const char* highlight;
    const char* highlightedText;
    const char* link;
};

constexpr Scheme kClassic = {"#d4d0c8", "#000000", "#ffffff", "#f0efe9",
                             "#d4d0c8", "#0a246a", "#ffffff", "#0000ff"};
constexpr Scheme kWarm = {"#ece6d8", "#2e2a22", "#fffdf7", "#f4efe3",
                          "#e2dac8", "#b5651d", "#ffffff", "#8a4b12"};
constexpr Scheme kGraphite = {"#353535", "#e0e0e0", "#252525", "#2e2e2e",
                              "#3c3c3c", "#2a82da", "#ffffff", "#6cb4ff"};
constexpr Scheme kSlate = {"#2b303b", "#d8dee9", "#20242c", "#272c36",
                           "#353b48", "#5e81ac", "#ffffff", "#88c0d0"};
constexpr Scheme kBlue = {"#d6e4f5", "#0f2340", "#ffffff", "#eaf1fb",
                          "#c5d9f1", "#1f5faf", "#ffffff", "#1f5faf"};
constexpr Scheme kBlack = {"#1e1e1e", "#dcdcdc", "#121212", "#1a1a1a",
                           "#2d2d2d", "#e08a1e", "#000000", "#f0a848"};
constexpr Scheme kSilver = {"#e3e5e8", "#1e2124", "#ffffff", "#f1f2f4",
                            "#d4d7db", "#6c7a89", "#ffffff", "#3d5a80"};
constexpr Scheme kAqua = {"#ddf1f3", "#0c3338", "#f7fdfd", "#e9f7f8",
                          "#bfe6ea", "#0f8b98", "#ffffff", "#0a6f7a"};

QPalette FromScheme(const Scheme& s) {
    const QColor window(s.window), text(s.text), base(s.base), button(s.button);
    QPalette p(button, window);
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::ButtonText, text);
    p.setColor(QPalette::Base, base);
    p.setColor(QPalette::AlternateBase, QColor(s.alternate));
    p.setColor(QPalette::ToolTipBase, base);
    p.setColor(QPalette::ToolTipText, text);
    p.setColor(QPalette::PlaceholderText, window.lightness() > 128 ? text.lighter(250) : text.darker(160));
    p.setColor(QPalette::BrightText, Qt::red);
    p.setColor(QPalette::Highlight, QColor(s.highlight));
    p.setColor(QPalette::HighlightedText, QColor(s.highlightedText));
    p.setColor(QPalette::Link, QColor(s.link));
    p.setColor(QPalette::LinkVisited, QColor(s.link).darker(130));
    // Disabled text halfway to the background, so it reads as unavailable in light and dark themes alike.
    const auto mix = [](const QColor& a, const QColor& b) {
        return QColor((a.red() + b.red()) / 2, (a.green() + b.green()) / 2, (a.blue() + b.blue()) / 2);
    };
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, role, mix(text, window));
    p.setColor(QPalette::Disabled, QPalette::Highlight, mix(QColor(s.highlight), window));
    return p;
}

QPalette StandardPaletteOf(const QString& styleName) {
    const std::unique_ptr<QStyle> style(QStyleFactory::create(styleName));
    return style ? style->standardPalette() : QPalette();
}

} // namespace

QString QtThemes::StyleName(int theme) {
    // The classic look where the platform still ships it; Fusion everywhere else.
    if (ThemeCatalog::LookOf(theme) == ThemeCatalog::kStyle1 &&
        QStyleFactory::keys().contains(QStringLiteral("Windows"), Qt::CaseInsensitive))
        return QStringLiteral("Windows");
    return QStringLiteral("Fusion");
}

QPalette QtThemes::Palette(int theme) {
    switch (ThemeCatalog::LookOf(theme)) {
    case ThemeCatalog::kStyle1:
        return FromScheme(kClassic);
    case ThemeCatalog::kStyle2:
        return StandardPaletteOf(StyleName(theme));
    case ThemeCatalog::kStyle3:
        return FromScheme(kWarm);
    case ThemeCatalog::kStyle4:
        return FromScheme(kGraphite);
    case ThemeCatalog::kStyle5:
        return FromScheme(kSlate);
    case ThemeCatalog::kBlue:
        return FromScheme(kBlue);
    case ThemeCatalog::kSilver:
        return FromScheme(kSilver);
    case ThemeCatalog::kAqua:
        return FromScheme(kAqua);
    default:
        return FromScheme(kBlack);
    }
}

void QtThemes::Apply(int theme) {
    const QString name = StyleName(theme);
    const QStyle* current = QApplication::style();
    if (current == nullptr || current->name().compare(name, Qt::CaseInsensitive) != 0) {
        if (QStyle* style = QStyleFactory::create(name))
            QApplication::setStyle(style);
    }
    QApplication::setPalette(Palette(theme));
}

} // namespace orvane
