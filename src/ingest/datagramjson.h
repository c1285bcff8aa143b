// Reads the JSON object of a datagram without the memory Qt's reader would keep.
// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef DATAGRAMJSON_H
#define DATAGRAMJSON_H

#include <QByteArray>
#include <QJsonObject>

// The JSON object that a datagram carries, as QJsonDocument::fromJson(payload).object() gives
// it: an empty object for a payload that is no JSON object, and the last of several members
// with the same name. Unlike that call, it costs no memory once it returns, whatever the
// payload. One difference, for broken payloads only: a flaw that lies wholly inside an array
// or object that a later member of the same name replaces goes unnoticed, and the rest of the
// object is read.
QJsonObject datagramObject(const QByteArray &payload);

#endif // DATAGRAMJSON_H
