<?php
function from_inside() { return "declared from inside a function"; }
