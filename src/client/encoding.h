// Making a message's datagrams within a size less than the largest one UDP carries.
// SPDX-License-Identifier: MIT
#ifndef CORVANE_ENCODING_H
#define CORVANE_ENCODING_H

#include "corvane/client.h"

namespace corvane {

// As datagrams(), each datagram at most `limit` bytes: a sender that adds members of its own
// to each payload leaves room for them.
QByteArrayList datagramsWithin(const QStringList &captions, const PaneTexts &texts,
                               TextFormat format, int limit);

} // namespace corvane

#endif // CORVANE_ENCODING_H
