#pragma once

#include <tesrauilua/Arguments.h>
#include <tesrauilua/Boundary.h>
#include <tesrauilua/Conversions.h>
#include <tesrauilua/Literal.h>
#include <tesrauilua/Objects.h>
