<?php
function helper() { return "helper"; }
