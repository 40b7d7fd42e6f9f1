<?php
class Marker {}
class Tagged extends Marker {}
function noop() {}
