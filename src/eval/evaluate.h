// Static evaluation from the side to move's point of view.
#pragma once
#include "board/position.h"

int evaluate(Position& pos);
