<?php
function label() { return "label-1"; }
