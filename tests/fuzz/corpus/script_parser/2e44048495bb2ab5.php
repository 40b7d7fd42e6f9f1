<?php
echo "never";
function ( {
