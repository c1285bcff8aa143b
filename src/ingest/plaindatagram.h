// Reads the common shape of a datagram directly, without the JSON reader.
// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PLAINDATAGRAM_H
#define PLAINDATAGRAM_H

#include "ingest/logmessage.h"

#include <QByteArray>

// Nearly every datagram a program sends is one object with "tabs" as an array of strings and
// some of "log1" to "log4" as strings, all of printable ASCII without escapes; the client
// library adds "seq", a positive integer, and "app", a string of the same kind. Such a payload
// is read here in one pass, several times faster than through the JSON reader, into exactly
// the message the JSON reader would give. Anything else (another member, a repeated one, an
// escape, a byte beyond ASCII, a value of another kind, broken JSON) returns false and is left
// to the JSON reader, which knows every rule.
//
// A thread that reads many datagrams in a row with the same tabs gets the same captions,
// shared rather than copied.
bool readPlainDatagram(const QByteArray &payload, LogMessage *message);

#endif // PLAINDATAGRAM_H
