// The View menu's choices as a small JSON file, written atomically.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/viewfile.h"

#include "files/atomicfile.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

const QString timesKey = QStringLiteral("showTimes");
const QString sincePreviousKey = QStringLiteral("timeSincePrevious");
const QString sendersKey = QStringLiteral("showSenders");
// The file is a few dozen bytes; a larger one is no file of ours.
const qint64 largestFile = 4096;

} // namespace

bool ViewChoices::operator==(const ViewChoices &other) const
{
    return times == other.times && sincePrevious == other.sincePrevious && senders == other.senders;
}

ViewChoices viewChoicesFromJson(const QByteArray &json)
{
    const QJsonObject object = QJsonDocument::fromJson(json).object();
    ViewChoices choices;
    choices.sincePrevious = object.value(sincePreviousKey).toBool(false);
    choices.times = !choices.sincePrevious && object.value(timesKey).toBool(false);
    choices.senders = object.value(sendersKey).toBool(false);
    return choices;
}

QByteArray viewChoicesJson(const ViewChoices &choices)
{
    const QJsonObject object {{timesKey, choices.times},
                              {sincePreviousKey, choices.sincePrevious},
                              {sendersKey, choices.senders}};
    return QJsonDocument(object).toJson(QJsonDocument::Indented);
}

ViewChoices readViewFile(const QString &path)
{
    // Only a regular file: opening a pipe would wait for a writer.
    if (!QFileInfo(path).isFile())
        return ViewChoices();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > largestFile)
        return ViewChoices();
    return viewChoicesFromJson(file.read(largestFile));
}

QString writeViewFile(const QString &path, const ViewChoices &choices)
{
    return writeFileAtomically(path, viewChoicesJson(choices));
}
