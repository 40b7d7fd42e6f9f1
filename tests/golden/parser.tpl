a <!-- BEGIN x -->  b{t}c
<!-- END x -->	 d
<!-- BEGIN one -->1<!-- END one -->y<!-- BEGIN one -->2<!-- END one -->
<!-- BEGIN lost --> stays <!-- END nothing -->
<!--BEGIN nb -->not a marker<!-- END nb-->
{multi
line{tag}/{}/{ a b }
<style>p {color: red}</style>
