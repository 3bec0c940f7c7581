// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>
#include <functional>

namespace vetcert {

class Store;

namespace demo {

/// Adds plausible counterparties, permits and certificates to the data files, the same for the same seed.
/// Certificates are numbered on from the highest number present. Returns false on a failure (reported).
bool generate(Store& store, qint64 certificates, qint64 counterparties, quint64 seed,
              const std::function<void(qint64 done)>& progress = {});

} // namespace demo
} // namespace vetcert
