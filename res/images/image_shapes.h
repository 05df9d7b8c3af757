/* Shorthands and the shared palette of the built-in images.
 *
 * Coordinates are pixels of the image's design grid. Lines of odd width sit
 * on half pixels and fills on whole pixels, so the images are crisp at
 * scale 1 and at every whole scale above it. */
#ifndef SORVANE_RES_IMAGES_IMAGE_SHAPES_H
#define SORVANE_RES_IMAGES_IMAGE_SHAPES_H

#include "res/resource_set.h"

#define NONE 0u

/* A filled and/or stroked path. */
#define PATH(fill, stroke, width, d) \
    { SORVANE_SHAPE_PATH, 0, (fill), 0, (stroke), (width), 0, 0, 0, 0, 0, (d) }
/* A stroked path with square ends (crisp pixel lines and digits). */
#define LINE(stroke, width, d) \
    { SORVANE_SHAPE_PATH, SORVANE_SHAPE_SQUARE_CAP, 0, 0, (stroke), (width), 0, 0, 0, 0, 0, (d) }
/* A stroked path with flat ends. */
#define FLAT(stroke, width, d) \
    { SORVANE_SHAPE_PATH, SORVANE_SHAPE_FLAT_CAP, 0, 0, (stroke), (width), 0, 0, 0, 0, 0, (d) }
/* A path filled top to bottom with a gradient. */
#define GPATH(top, bottom, stroke, width, d)                                                     \
    {                                                                                            \
        SORVANE_SHAPE_PATH, SORVANE_SHAPE_GRADIENT, (top), (bottom), (stroke), (width), 0, 0, 0, \
            0, 0, (d)                                                                            \
    }
#define RECT(fill, stroke, width, x, y, w, h, r) \
    { SORVANE_SHAPE_RECT, 0, (fill), 0, (stroke), (width), (x), (y), (w), (h), (r), 0 }
#define GRECT(top, bottom, stroke, width, x, y, w, h, r)                                          \
    {                                                                                             \
        SORVANE_SHAPE_RECT, SORVANE_SHAPE_GRADIENT, (top), (bottom), (stroke), (width), (x), (y), \
            (w), (h), (r), 0                                                                      \
    }
#define HGRECT(left, right, stroke, width, x, y, w, h, r)                                      \
    {                                                                                          \
        SORVANE_SHAPE_RECT, SORVANE_SHAPE_GRADIENT | SORVANE_SHAPE_HGRADIENT, (left), (right), \
            (stroke), (width), (x), (y), (w), (h), (r), 0                                      \
    }
#define OVAL(fill, stroke, width, x, y, w, h) \
    { SORVANE_SHAPE_ELLIPSE, 0, (fill), 0, (stroke), (width), (x), (y), (w), (h), 0, 0 }
#define GOVAL(top, bottom, stroke, width, x, y, w, h)                                           \
    {                                                                                           \
        SORVANE_SHAPE_ELLIPSE, SORVANE_SHAPE_GRADIENT, (top), (bottom), (stroke), (width), (x), \
            (y), (w), (h), 0, 0                                                                 \
    }

#define CELL(shapes) \
    { (shapes), SORVANE_RES_COUNT(shapes) }

/* Seven-segment digits, 4 x 6 pixels, drawn from the digit's top-left
 * corner (move there first): "M14.5 15.5" DIGIT_3. */
#define DIGIT_0 "h4 v6 h-4 z"
#define DIGIT_1 "m2 0 v6 m0 -6 l-1.5 1.5"
#define DIGIT_2 "h4 v3 h-4 v3 h4"
#define DIGIT_3 "h4 v6 h-4 m0 -3 h4"
#define DIGIT_4 "v3 h4 m0 -3 v6"
#define DIGIT_5 "m4 0 h-4 v3 h4 v3 h-4"
#define DIGIT_6 "m4 0 h-4 v6 h4 v-3 h-4"

/* Palette (0xAARRGGBB) */
#define INK 0xFF3B4350u /* outlines and dark detail */
#define INK_SOFT 0xFF6B7482u
#define PAPER 0xFFFFFFFFu
#define PAPER_SHADE 0xFFE6EAF0u
#define LINE_GREY 0xFF9AA3AFu
#define BLUE 0xFF2F6FD6u
#define BLUE_DARK 0xFF1D4F9Eu
#define BLUE_LIGHT 0xFF7FB0F5u
#define GREEN 0xFF2EA043u
#define GREEN_DARK 0xFF1A7332u
#define GREEN_LIGHT 0xFF5CCB6Eu
#define RED 0xFFD73A49u
#define RED_DARK 0xFF9E1C2Au
#define RED_LIGHT 0xFFF07C86u
#define AMBER 0xFFF2B544u
#define AMBER_DARK 0xFF9A6A12u
#define AMBER_LIGHT 0xFFFAD683u
#define PINK 0xFFF08CA8u
#define PINK_DARK 0xFFB04E6Cu
#define STEEL 0xFF7C8796u
#define STEEL_DARK 0xFF4E5866u
#define STEEL_LIGHT 0xFFB9C2CEu
/* graph line colours of CAN1 to CAN5 */
#define CH1 0xFF2F6FD6u
#define CH2 0xFF2E9E63u
#define CH3 0xFFD99A1Eu
#define CH4 0xFFC2672Bu
#define CH5 0xFFA052B0u

#endif /* SORVANE_RES_IMAGES_IMAGE_SHAPES_H */
