#pragma once

#include "common/screen.h"
#include "data/datasource.h"

namespace tvx {

// The invoice debts of one partner.
class SzamlaTartozasFormX : public Screen {
    Q_OBJECT
public:
    explicit SzamlaTartozasFormX(QWidget *parent = nullptr);
};

}  // namespace tvx
