#pragma once

#include "common/screen.h"
#include "data/datasource.h"

namespace tvx {

// The filing-number templates, one or more per partner.
class ParameterFormX : public Screen {
    Q_OBJECT
public:
    explicit ParameterFormX(QWidget *parent = nullptr);
};

}  // namespace tvx
