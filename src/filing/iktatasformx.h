#pragma once

#include "common/screen.h"
#include "data/datasource.h"

namespace tvx {

// The filing entry screen.
class IktatasFormX : public Screen {
    Q_OBJECT
public:
    explicit IktatasFormX(QWidget *parent = nullptr);
};

}  // namespace tvx
