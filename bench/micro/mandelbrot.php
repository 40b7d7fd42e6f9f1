<?php
// The Mandelbrot set as characters: float arithmetic in nested loops.
function mandelbrot($width, $height) {
    $scale = 2 * 0.7 / 50;
    $out = '';
    for ($y = 0; $y <= $width; $y = $y + 1) {
        $im_c = $scale * ($y - 12);
        for ($x = 0; $x <= $height; $x = $x + 1) {
            $re_c = $scale * ($x - 40) - 0.45;
            $re = $re_c;
            $im = $im_c;
            $left = 1000;
            $re2 = $re * $re;
            $im2 = $im * $im;
            while ($re2 + $im2 < 1000000 && $left > 0) {
                $im = $re * $im * 2 + $im_c;
                $re = $re2 - $im2 + $re_c;
                $re2 = $re * $re;
                $im2 = $im * $im;
                $left = $left - 1;
            }
            $out .= $left == 0 ? '_' : '#';
        }
        $out .= "\n";
    }
    return $out;
}
echo mandelbrot(50, 150);
