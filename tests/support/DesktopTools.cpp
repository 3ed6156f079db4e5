#include "support/DesktopTools.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>
#include <csignal>

namespace testsupport::desktop {

namespace {

constexpr int kToolTimeoutMs = 15000;

struct ToolResult {
    bool Ok = false;
    QString Output;
};

ToolResult Run(const QString& program, const QStringList& arguments) {
    QProcess tool;
    tool.start(program, arguments);
    if (!tool.waitForFinished(kToolTimeoutMs)) {
        tool.kill();
        tool.waitForFinished();
        return {};
    }
    const bool ok = tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 0;
    return {ok, QString::fromUtf8(tool.readAllStandardOutput())};
}

QString Id(Window window) {
    return QStringLiteral("0x") + QString::number(window, 16);
}

// The value part of one property as xprop -notype prints it ("NAME = value" or
// "NAME: value"); empty when the property is not set.
QString Property(const QStringList& target, const QString& name) {
    const ToolResult result =
        Run(QStringLiteral("xprop"), target + QStringList{QStringLiteral("-notype"), name});
    const QString text = result.Output.trimmed();
    if (!result.Ok || !text.startsWith(name) || text.endsWith(QStringLiteral("not found."))) {
        return {};
    }
    QString value = text.mid(name.size());
    if (value.startsWith(QLatin1Char(':'))) {
        value = value.mid(1);
    } else if (value.trimmed().startsWith(QLatin1Char('='))) {
        value = value.trimmed().mid(1);
    }
    return value.trimmed();
}

QString WindowProperty(Window window, const QString& name) {
    return Property({QStringLiteral("-id"), Id(window)}, name);
}

// The strings of a property value such as "a", "b\"c": unquoted and unescaped.
QStringList QuotedStrings(const QString& value) {
    QStringList strings;
    QString current;
    bool inside = false;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (!inside) {
            inside = c == QLatin1Char('"');
        } else if (c == QLatin1Char('\\') && i + 1 < value.size()) {
            current += value[++i];
        } else if (c == QLatin1Char('"')) {
            strings << current;
            current.clear();
            inside = false;
        } else {
            current += c;
        }
    }
    return strings;
}

QList<int> Numbers(const QString& value) {
    QList<int> numbers;
    for (const QString& part : value.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        numbers << part.trimmed().toInt();
    }
    return numbers;
}

} // namespace

QList<Window> WindowsOfClass(const QString& windowClass, Mapped mapped) {
    QStringList arguments{QStringLiteral("search")};
    if (mapped == Mapped::Only) {
        arguments << QStringLiteral("--onlyvisible");
    }
    arguments << QStringLiteral("--class") << QLatin1Char('^') + windowClass + QLatin1Char('$');
    const ToolResult result = Run(QStringLiteral("xdotool"), arguments);
    QList<Window> windows;
    for (const QString& line : result.Output.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        windows << line.trimmed().toUInt();
    }
    return windows;
}

QList<Window> FormWindows(Mapped mapped) {
    return WindowsOfClass(QStringLiteral("ThunderRT6FormDC"), mapped);
}

Window WaitForFormOf(qint64 processId, int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    while (processId > 0 && !deadline.hasExpired() &&
           ::kill(static_cast<pid_t>(processId), 0) == 0) {
        for (const Window window : FormWindows(Mapped::Only)) {
            if (ProcessId(window) == processId &&
                Caption(window).endsWith(QStringLiteral("Navigateur Ulmeco"))) {
                return window;
            }
        }
        QTest::qWait(100);
    }
    return 0;
}

Window WaitForCaptionOf(qint64 processId, const QString& caption, int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    const Window window = WaitForFormOf(processId, timeoutMs);
    if (window == 0) {
        qWarning("no main window of process %lld", static_cast<long long>(processId));
        return 0;
    }
    QString seen;
    if (QTest::qWaitFor([&] { return (seen = Caption(window)) == caption; },
                        static_cast<int>(deadline.remainingTime()))) {
        return window;
    }
    qWarning().noquote() << "caption" << seen << "where" << caption << "was awaited";
    return 0;
}

QString Caption(Window window) {
    QStringList caption = QuotedStrings(WindowProperty(window, QStringLiteral("_NET_WM_NAME")));
    if (caption.isEmpty()) {
        caption = QuotedStrings(WindowProperty(window, QStringLiteral("WM_NAME")));
    }
    return caption.value(0);
}

QString WindowClass(Window window) {
    return QuotedStrings(WindowProperty(window, QStringLiteral("WM_CLASS"))).value(1);
}

QStringList NetWmState(Window window) {
    QStringList atoms;
    const QString value = WindowProperty(window, QStringLiteral("_NET_WM_STATE"));
    for (const QString& atom : value.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        atoms << atom.trimmed().remove(QStringLiteral("_NET_WM_STATE_"));
    }
    return atoms;
}

qint64 ProcessId(Window window) {
    return WindowProperty(window, QStringLiteral("_NET_WM_PID")).toLongLong();
}

QRect OuterBounds(Window window) {
    const ToolResult info = Run(QStringLiteral("xwininfo"), {QStringLiteral("-id"), Id(window)});
    if (!info.Ok) {
        return {};
    }
    const auto field = [&](const QString& label) {
        const QRegularExpression line(QStringLiteral("^\\s*") + QRegularExpression::escape(label) +
                                          QStringLiteral(":\\s*(-?\\d+)"),
                                      QRegularExpression::MultilineOption);
        return line.match(info.Output).captured(1).toInt();
    };
    const QRect client(field(QStringLiteral("Absolute upper-left X")),
                       field(QStringLiteral("Absolute upper-left Y")),
                       field(QStringLiteral("Width")), field(QStringLiteral("Height")));
    return client.marginsAdded(FrameExtents(window));
}

QMargins FrameExtents(Window window) {
    // left, right, top, bottom
    const QList<int> extents =
        Numbers(WindowProperty(window, QStringLiteral("_NET_FRAME_EXTENTS")));
    return extents.size() == 4 ? QMargins(extents[0], extents[2], extents[1], extents[3])
                               : QMargins();
}

Window ActiveWindow() {
    const QString value = Property({QStringLiteral("-root")}, QStringLiteral("_NET_ACTIVE_WINDOW"));
    const QRegularExpressionMatch hex =
        QRegularExpression(QStringLiteral("0x([0-9a-fA-F]+)")).match(value);
    return hex.hasMatch() ? hex.captured(1).toUInt(nullptr, 16) : 0;
}

bool Activate(Window window) {
    return Run(QStringLiteral("xdotool"), {QStringLiteral("windowactivate"),
                                           QStringLiteral("--sync"), QString::number(window)})
        .Ok;
}

bool PressKeys(Window window, const QString& keys) {
    return Activate(window) &&
           Run(QStringLiteral("xdotool"),
               {QStringLiteral("key"), QStringLiteral("--clearmodifiers"), keys})
               .Ok;
}

bool Minimize(Window window) {
    return Run(QStringLiteral("xdotool"), {QStringLiteral("windowminimize"),
                                           QStringLiteral("--sync"), QString::number(window)})
        .Ok;
}

} // namespace testsupport::desktop
